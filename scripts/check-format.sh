#!/usr/bin/env bash
# Fails when a C++ file of src/, tests/ or bench/ is not formatted as
# .clang-format says; `clang-format -i FILE` mends one.
set -euo pipefail
cd "$(dirname "$0")/.."
find src tests bench -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
    xargs -0 clang-format --dry-run -Werror
