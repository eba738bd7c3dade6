# make run  - installs what is missing, builds, starts Velmora under Wine
# make test - installs what is missing, builds, runs every test under Wine
BUILD ?= build
JOBS := $(shell nproc)
SHELL := /bin/bash
.SHELLFLAGS := -o pipefail -c

.PHONY: run test build setup bench

setup:
	@bash tools/setup-machine.sh

build: setup
	@bash tools/build-sqlite.sh $(BUILD)/sqlite
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -G "Unix Makefiles" \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DVELMORA_SQLITE_DIR=$(abspath $(BUILD)/sqlite) >/dev/null
	@cmake --build $(BUILD) -j$(JOBS) -- --no-print-directory | { grep -Ev '^\[ *[0-9]+%\] (Building|Linking|Built)' || true; }

test: build
	@bash tools/with-wine.sh $(BUILD) ctest --test-dir $(BUILD) --output-on-failure --timeout 300 --repeat until-pass:2

run: build
	@WINE_DISPLAY=user bash tools/with-wine.sh $(BUILD) bash tools/run-program.sh

bench: build
	@cmake --build $(BUILD) --target main_tick_bench export_bench bare_window window_work_probe -- --no-print-directory >/dev/null
	@bash tools/with-wine.sh $(BUILD) wine $(BUILD)/bin/main_tick_bench.exe
	@bash tools/with-wine.sh $(BUILD) wine $(BUILD)/bin/export_bench.exe
	@bash tools/with-wine.sh $(BUILD) bash tools/bench-cpu.sh
