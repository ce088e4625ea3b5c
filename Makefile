# The README's two commands. CMake does the real work; see CMakePresets.json.
.PHONY: run test build deps

DB ?= db1.db

deps:
	bash scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

run: build
	@[ -f "$(DB)" ] || build/bin/gainbook-cli --db "$(DB)" init
	build/bin/gainbook

test: build
	ctest --preset default
