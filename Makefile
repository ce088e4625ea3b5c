# The README's two commands. CMake does the real work; see CMakePresets.json.
.PHONY: run test build deps

DB ?= db1.db
# Extra configure options, e.g. CMAKE_ARGS=-DGAINBOOK_WERROR=ON (CI).
CMAKE_ARGS ?=

deps:
	bash scripts/install-deps.sh

build: deps
	cmake --preset default $(CMAKE_ARGS)
	cmake --build --preset default

run: build
	@[ -f "$(DB)" ] || build/bin/gainbook-cli --db "$(DB)" init
	build/bin/gainbook

test: build
	ctest --preset default
