#!/bin/bash
# Fails, naming each file and line, when a tracked C++ file is not laid out as
# .clang-format says; `make format` rewrites them. clang-format-14 exactly:
# other versions lay out some constructs differently.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run --Werror
