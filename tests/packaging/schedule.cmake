# The scheduling examples: the systemd user units load cleanly in a user
# manager, and the Kubernetes example's manifest holds together and its pod
# script really shards a list and checks it (played here against a local
# server). Both report themselves skipped (77) when their tools are missing.
add_test(NAME schedule_systemd_units
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/systemd-units.sh
                 ${PROJECT_SOURCE_DIR}/packaging $<TARGET_FILE:sentrel-cli>)
add_test(NAME schedule_kubernetes_example
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/kubernetes-example.sh
                 ${PROJECT_SOURCE_DIR}/packaging/kubernetes/sentrel-cronjob.yaml
                 $<TARGET_FILE:sentrel-cli>
                 ${CMAKE_CURRENT_BINARY_DIR}/kubernetes-example)
set_tests_properties(schedule_systemd_units schedule_kubernetes_example
                     PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60 LABELS packaging)
