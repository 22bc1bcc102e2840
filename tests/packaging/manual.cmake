# The manual pages and the bash completion, checked against the sentrel-cli
# just built: they document and offer exactly its commands and options, the
# pages render without warnings, the completion works in a plain bash and on
# a real terminal. A check whose tool (man and groff, python3) is missing
# reports itself skipped (77).
set(SENTREL_MAN_DIR ${PROJECT_SOURCE_DIR}/packaging/man)
set(SENTREL_COMPLETION ${PROJECT_SOURCE_DIR}/packaging/completion/sentrel-cli)

add_test(NAME manual_documents_every_option
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/man-options.sh $<TARGET_FILE:sentrel-cli>
                 ${SENTREL_MAN_DIR}/sentrel-cli.1 ${SENTREL_MAN_DIR}/sentrel.1)
add_test(NAME manual_renders_cleanly
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/man-render.sh
                 ${SENTREL_MAN_DIR}/sentrel-cli.1 ${SENTREL_MAN_DIR}/sentrel.1)
add_test(NAME cli_help_and_wrong_use
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/cli-help.sh $<TARGET_FILE:sentrel-cli>)
add_test(NAME completion_offers_commands_options_urls
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/completion.sh $<TARGET_FILE:sentrel-cli> ${SENTREL_COMPLETION})
add_test(NAME completion_on_a_terminal
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/completion-readline.sh $<TARGET_FILE:sentrel-cli>
                 ${SENTREL_COMPLETION})
# The completion check runs the program once per expectation: 15 s on an idle
# 2-core machine, near 30 s beside a sanitizer build, so the limit only
# catches a hang.
set_tests_properties(manual_documents_every_option manual_renders_cleanly cli_help_and_wrong_use
                     completion_offers_commands_options_urls completion_on_a_terminal
                     PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120 LABELS packaging)
