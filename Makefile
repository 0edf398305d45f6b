# Horizonmill: `make run` and `make test` set up everything on a fresh Debian machine.
# The configurations are the presets of CMakePresets.json; BUILD and friends
# only choose where each one is built.
BUILD ?= build
CHECK_BUILD ?= build-check
FUZZ_BUILD ?= build-fuzz
TIDY_BUILD ?= build-tidy
FUZZ_SECONDS ?= 600
CMAKE ?= cmake
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test check format format-check tidy bench fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@$(CMAKE) --preset release -B $(BUILD) -G "$(GENERATOR)" >/dev/null

build: configure
	@$(CMAKE) --build $(BUILD) -j $(JOBS)

# Builds everything (the desktop program too) and renders the default scene and
# every example scene into out/.
run: build
	@mkdir -p out
	@$(BUILD)/horizonmill-render -o out/default.jpg
	@for scene in examples/*.hm; do \
	  [ -e "$$scene" ] || continue; \
	  name=$$(basename "$$scene" .hm); \
	  $(BUILD)/horizonmill-render "$$scene" -o "out/$$name.jpg" || exit 1; \
	done
	@echo "Images are in $(CURDIR)/out:"; ls -1 out/*.jpg | sed 's/^/  /'
	@echo "The desktop program: $(BUILD)/horizonmill [SCENE.hm]"

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The checking leg: a debug build with assertions and the address and
# undefined-behaviour sanitizers, running every test (death tests included).
check: deps
	@$(CMAKE) --preset check -B $(CHECK_BUILD) -G "$(GENERATOR)" >/dev/null
	@$(CMAKE) --build $(CHECK_BUILD) -j $(JOBS)
	@cd $(CHECK_BUILD) && ctest --output-on-failure -j $(JOBS)

# Fails when a source file differs from what the committed .clang-format makes of it.
format-check: deps
	@scripts/format-check

format: deps
	@scripts/format-check --fix

# clang-tidy with the committed .clang-tidy over every source file.
tidy: deps
	@scripts/install-deps --tidy
	@$(CMAKE) --preset tidy -B $(TIDY_BUILD) -G "$(GENERATOR)" >/dev/null
	@run-clang-tidy -quiet -j $(JOBS) -p $(TIDY_BUILD) '$(CURDIR)/(src|tests|bench|tools)/' 2>&1 | \
	  grep -v -E '^(clang-tidy|[0-9]+ warnings? generated|Suppressed [0-9]+ warnings|Use -header-filter)' || true

bench: build
	@$(BUILD)/bench/horizonmill-bench

# libFuzzer targets (clang); each runs FUZZ_SECONDS, keeping what it finds in tests/fuzz/corpus.
fuzz: deps
	@scripts/install-deps --fuzz
	@$(CMAKE) --preset fuzz -B $(FUZZ_BUILD) -G "$(GENERATOR)" >/dev/null
	@$(CMAKE) --build $(FUZZ_BUILD) -j $(JOBS)
	@for target in $(FUZZ_BUILD)/tests/fuzz/fuzz_*; do \
	  name=$$(basename $$target); mkdir -p tests/fuzz/corpus/$${name#fuzz_} fuzz-out/$$name; \
	  echo "== $$name for $(FUZZ_SECONDS) s"; \
	  $$target -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=fuzz-out/$$name/ \
	    fuzz-out/$$name tests/fuzz/corpus/$${name#fuzz_} || exit 1; \
	  $$target -merge=1 tests/fuzz/corpus/$${name#fuzz_} fuzz-out/$$name >/dev/null 2>&1; \
	done

clean:
	rm -rf $(BUILD) $(CHECK_BUILD) $(FUZZ_BUILD) $(TIDY_BUILD) out fuzz-out
