#!/usr/bin/env bash
# The Kubernetes example: its manifest parses into the expected documents, and
# the pod's script, run here once per shard against a local server, splits a
# list into disjoint shard data folders and completes a check in each
# (kubernetes_example.py beside this file does the work).
#
# Usage: kubernetes-example.sh MANIFEST SENTREL_CLI SCRATCH_DIR
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

# The system's Python first: Debian's python3-yaml belongs to it.
python=
for candidate in /usr/bin/python3 python3; do
  if command -v "$candidate" >/dev/null 2>&1 && "$candidate" -c 'import yaml' 2>/dev/null; then
    python=$candidate
    break
  fi
done
if [ -z "$python" ]; then
  echo "SKIP: no python3 with the yaml module (Debian: python3-yaml)"
  exit 77
fi
for tool in awk xargs; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done

exec "$python" "$here/kubernetes_example.py" "$@"
