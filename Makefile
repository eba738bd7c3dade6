# make run  - installs what is missing, builds what it runs, starts Velmora under Wine
# make test - installs what is missing, builds everything, runs every test under Wine
# The shipped program is always the 32-bit build in $(BUILD)/bin. Where this machine runs no
# 32-bit programs, or with WIN64=1, the tests and `make run` use the same sources built for
# 64-bit Windows in $(BUILD)-x64, under 64-bit Wine.
BUILD ?= build
JOBS := $(shell nproc)
SHELL := /bin/bash
.SHELLFLAGS := -o pipefail -c

ROAD := $(shell WIN64=$(WIN64) bash tools/wine-road.sh $(BUILD))
# $(1): what is done with the build the road takes ("testing", "running").
ifeq ($(ROAD),64)
  WINE_BUILD := $(BUILD)-x64
  WINE_CPU := x86_64
  ROAD_NOTICE = @echo "this machine runs no 32-bit programs: $(1) the 64-bit build"
  ifeq ($(WIN64),1)
    ROAD_NOTICE = @echo "WIN64=1: $(1) the 64-bit build"
  endif
else
  WINE_BUILD := $(BUILD)
  WINE_CPU := i686
  ROAD_NOTICE = @true
endif

# What `make run` starts: the program, the add-in, and the files beside them.
RUN_TARGETS := Velmora Quintrel32 MeetData program_files help_file
RUN_WHAT := the program, the add-in and their files
ALL_WHAT := the program, the add-in, their files and every test
.PHONY: run test test-now build build-wine build-run sqlite setup bench notice-test notice-run

# Configures (once) and builds one tree: $(1) the folder, $(2) the target processor, $(3) the
# targets (every one when empty), $(4) what they are. Two builds of one tree break each other's
# files: the second waits for the first. Only warnings and errors are shown; the progress lines
# go uncoloured, with or without their percentage.
define build_tree
	@echo "build: building $(4) in $(1)"
	@[ -f $(1)/CMakeCache.txt ] || cmake -S . -B $(1) -G "Unix Makefiles" \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$(2).cmake -DVELMORA_SQLITE_DIR=$(abspath $(BUILD)/sqlite) >/dev/null
	@{ flock -n 6 || { echo "build: another build of $(1) is under way; waiting for it"; flock 6; }; \
	  cmake --build $(1) -j$(JOBS) $(if $(3),--target $(3)) -- --no-print-directory COLOR=OFF 6>&- \
	    | { grep -Ev '^(\[ *[0-9]+%\] )?(Building|Linking|Built target|Generating|Making|Scanning) ' || true; }; \
	} 6>>$(1)/build.lock
endef

notice-test:
	$(call ROAD_NOTICE,testing)

notice-run:
	$(call ROAD_NOTICE,running)

setup:
	@echo "setup: checking what this machine needs"
	@bash tools/setup-machine.sh $(ROAD)

sqlite: setup
	@bash tools/build-sqlite.sh $(BUILD)/sqlite

build: sqlite
	$(call build_tree,$(BUILD),i686,,$(ALL_WHAT))

# The tree the tests and `make run` use: the shipped build, or the 64-bit one beside it.
build-wine: build
ifeq ($(ROAD),64)
	$(call build_tree,$(WINE_BUILD),x86_64,,$(ALL_WHAT))
endif

build-run: sqlite
	$(call build_tree,$(WINE_BUILD),$(WINE_CPU),$(RUN_TARGETS),$(RUN_WHAT))

# One test run at a time in a tree: a second one waits for the first and says so.
test: notice-test
	@bash tools/wait-turn.sh $(WINE_BUILD)/make-test.lock "make test" $(MAKE) --no-print-directory test-now

test-now: build-wine
	@bash tools/with-wine.sh $(WINE_BUILD) ctest --test-dir $(WINE_BUILD) --output-on-failure

# A second `make run` while one builds or runs from the same build leaves that one alone.
run: notice-run
	@bash tools/run-program.sh $(WINE_BUILD) $(MAKE) --no-print-directory build-run

bench: build-wine
	@cmake --build $(WINE_BUILD) --target main_tick_bench export_bench menu_bench bare_window window_work_probe -- --no-print-directory >/dev/null
	@bash tools/with-wine.sh $(WINE_BUILD) wine $(WINE_BUILD)/bench/main_tick_bench.exe
	@bash tools/with-wine.sh $(WINE_BUILD) wine $(WINE_BUILD)/bench/export_bench.exe
	@bash tools/with-wine.sh $(WINE_BUILD) wine $(WINE_BUILD)/bench/menu_bench.exe
	@bash tools/with-wine.sh $(WINE_BUILD) bash tools/bench-cpu.sh
