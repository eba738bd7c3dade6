# make run  - installs what is missing, builds, starts Velmora under Wine
# make test - installs what is missing, builds, runs every test under Wine
# The shipped program is always the 32-bit build in $(BUILD)/bin. Where this machine runs no
# 32-bit programs, or with WIN64=1, the tests and `make run` use the same sources built for
# 64-bit Windows in $(BUILD)-x64, under 64-bit Wine.
BUILD ?= build
JOBS := $(shell nproc)
SHELL := /bin/bash
.SHELLFLAGS := -o pipefail -c

ROAD := $(shell WIN64=$(WIN64) bash tools/wine-road.sh $(BUILD))
ifeq ($(ROAD),64)
  WINE_BUILD := $(BUILD)-x64
  ROAD_NOTICE := @echo "this machine runs no 32-bit programs: testing the 64-bit build"
  ifeq ($(WIN64),1)
    ROAD_NOTICE := @echo "WIN64=1: testing the 64-bit build"
  endif
else
  WINE_BUILD := $(BUILD)
  ROAD_NOTICE := @true
endif

.PHONY: run test build build-wine setup bench notice

# Configures (once) and builds one tree: $(1) the folder, $(2) the target processor.
define build_tree
	@[ -f $(1)/CMakeCache.txt ] || cmake -S . -B $(1) -G "Unix Makefiles" \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$(2).cmake -DVELMORA_SQLITE_DIR=$(abspath $(BUILD)/sqlite) >/dev/null
	@cmake --build $(1) -j$(JOBS) -- --no-print-directory | { grep -Ev '^\[ *[0-9]+%\] (Building|Linking|Built)' || true; }
endef

notice:
	$(ROAD_NOTICE)

setup:
	@bash tools/setup-machine.sh $(ROAD)

build: setup
	@bash tools/build-sqlite.sh $(BUILD)/sqlite
	$(call build_tree,$(BUILD),i686)

# The tree the tests and `make run` use: the shipped build, or the 64-bit one beside it.
build-wine: build
ifeq ($(ROAD),64)
	$(call build_tree,$(WINE_BUILD),x86_64)
endif

test: notice build-wine
	@bash tools/with-wine.sh $(WINE_BUILD) ctest --test-dir $(WINE_BUILD) --output-on-failure

run: notice build-wine
	@WINE_DISPLAY=user bash tools/with-wine.sh $(WINE_BUILD) bash tools/run-program.sh

bench: build-wine
	@cmake --build $(WINE_BUILD) --target main_tick_bench export_bench menu_bench bare_window window_work_probe -- --no-print-directory >/dev/null
	@bash tools/with-wine.sh $(WINE_BUILD) wine $(WINE_BUILD)/bin/main_tick_bench.exe
	@bash tools/with-wine.sh $(WINE_BUILD) wine $(WINE_BUILD)/bin/export_bench.exe
	@bash tools/with-wine.sh $(WINE_BUILD) wine $(WINE_BUILD)/bin/menu_bench.exe
	@bash tools/with-wine.sh $(WINE_BUILD) bash tools/bench-cpu.sh
