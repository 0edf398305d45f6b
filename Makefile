# Horizonmill: `make run` and `make test` set up everything on a fresh Debian machine.
BUILD ?= build
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
CMAKE ?= cmake
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@$(CMAKE) -S . -B $(BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@$(CMAKE) --build $(BUILD) -j $(JOBS)

# Renders the default scene and every example scene into out/.
run: build
	@mkdir -p out
	@$(BUILD)/horizonmill-render -o out/default.jpg
	@for scene in examples/*.hm; do \
	  [ -e "$$scene" ] || continue; \
	  name=$$(basename "$$scene" .hm); \
	  $(BUILD)/horizonmill-render "$$scene" -o "out/$$name.jpg" || exit 1; \
	done
	@echo "Images are in $(CURDIR)/out:"; ls -1 out/*.jpg | sed 's/^/  /'

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@$(BUILD)/bench/horizonmill-bench

# libFuzzer targets (clang); each runs FUZZ_SECONDS, keeping what it finds in tests/fuzz/corpus.
fuzz: deps
	@scripts/install-deps --fuzz
	@$(CMAKE) -S . -B $(FUZZ_BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DHORIZONMILL_FUZZ=ON -DHORIZONMILL_TESTS=OFF \
	  -DHORIZONMILL_BENCH=OFF >/dev/null
	@$(CMAKE) --build $(FUZZ_BUILD) -j $(JOBS)
	@for target in $(FUZZ_BUILD)/tests/fuzz/fuzz_*; do \
	  name=$$(basename $$target); mkdir -p tests/fuzz/corpus/$${name#fuzz_} fuzz-out/$$name; \
	  echo "== $$name for $(FUZZ_SECONDS) s"; \
	  $$target -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=fuzz-out/$$name/ \
	    fuzz-out/$$name tests/fuzz/corpus/$${name#fuzz_} || exit 1; \
	  $$target -merge=1 tests/fuzz/corpus/$${name#fuzz_} fuzz-out/$$name >/dev/null 2>&1; \
	done

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) out fuzz-out
