# Horizonmill: `make run` and `make test` set up everything on a fresh Debian machine.
# The configurations are the presets of CMakePresets.json; BUILD and friends
# only choose where each one is built.
BUILD ?= build
PACKAGE_BUILD ?= build-package
CHECK_BUILD ?= build-check
THREADS_BUILD ?= build-threads
FUZZ_BUILD ?= build-fuzz
TIDY_BUILD ?= build-tidy
FUZZ_SECONDS ?= 600
CMAKE ?= cmake
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build programs run test package check check-threads format format-check tidy \
	bench fuzz fuzz-build fuzz-merge clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@$(CMAKE) --preset release -B $(BUILD) -G "$(GENERATOR)" >/dev/null

build: configure
	@$(CMAKE) --build $(BUILD) -j $(JOBS)

# Only what `make run` runs and offers: the renderer and the desktop program
# (not the tests, benchmarks and tools).
PROGRAMS := horizonmill-render horizonmill
programs: configure
	@$(CMAKE) --build $(BUILD) -j $(JOBS) --target $(PROGRAMS)

# Builds the two programs and renders the default scene and every example
# scene into out/.
run: programs
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

# The Debian packages $(PACKAGE_BUILD)/horizonmill-render_VERSION_ARCH.deb (the
# command-line renderer, no Qt) and $(PACKAGE_BUILD)/horizonmill_VERSION_ARCH.deb
# (the desktop program, which depends on the first), from a release build of
# their contents alone, without the tests and benchmarks (the preset package);
# `apt-get install ./$(PACKAGE_BUILD)/horizonmill*.deb` installs both.
package: deps
	@$(CMAKE) --preset package -B $(PACKAGE_BUILD) -G "$(GENERATOR)" >/dev/null
	@$(CMAKE) --build $(PACKAGE_BUILD) -j $(JOBS)
	@cd $(PACKAGE_BUILD) && cpack >/dev/null
	@ls -1 $(PACKAGE_BUILD)/horizonmill*.deb

# The checking leg: a debug build with assertions and the address and
# undefined-behaviour sanitizers, running every test (death tests included);
# gcc, with the warnings of our code as errors.
check: deps
	@$(CMAKE) --preset check -B $(CHECK_BUILD) -G "$(GENERATOR)" >/dev/null
	@$(CMAKE) --build $(CHECK_BUILD) -j $(JOBS)
	@cd $(CHECK_BUILD) && ctest --output-on-failure -j $(JOBS)

# The thread-checking leg: a ThreadSanitizer build of the tests whose code runs
# on several threads (tests/CMakeLists.txt lists them: the work crew, the
# pipeline and its stages, the PNG writer, the examples, the session and the
# sequences that render and write) and of the window's tests that render and
# write in the background, and only those, so that the leg stays short. It is
# built by clang and the checking leg by gcc, both with warnings as errors, so
# the core, the window and these tests compile warning-free under both
# compilers. clang also builds this leg faster, and gcc 12's thread-sanitized
# build, warnings as errors, stops on false array-bounds alarms inside
# libstdc++'s strings.
THREAD_UI_TESTS := background_write_test main_window_test live_preview_test render_thread_test
# Qt is not built with the sanitizer: the memory its own pool threads pass
# among themselves would look like races, so the calls that uninstrumented
# libraries make are not checked; every access of our own code is.
THREAD_SANITIZER_OPTIONS := halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1
check-threads: deps
	@scripts/install-deps --clang
	@$(CMAKE) --preset threads -B $(THREADS_BUILD) -G "$(GENERATOR)" >/dev/null
	@$(CMAKE) --build $(THREADS_BUILD) -j $(JOBS) --target horizonmill-thread-tests $(THREAD_UI_TESTS)
	@cd $(THREADS_BUILD) && TSAN_OPTIONS="$(THREAD_SANITIZER_OPTIONS)" \
	  ctest --output-on-failure -j $(JOBS) -L threads
	@cd $(THREADS_BUILD) && TSAN_OPTIONS="$(THREAD_SANITIZER_OPTIONS)" \
	  ctest --output-on-failure -j $(JOBS) -R '^($(subst $(eval) ,|,$(THREAD_UI_TESTS)))$$'

# Fails when a source file differs from what the committed .clang-format makes of it.
format-check: deps
	@scripts/format-check

format: deps
	@scripts/format-check --fix

# clang-tidy with the committed .clang-tidy over every source file of ours
# (scripts/tidy): fails when it finds anything, clang's own warnings included.
# Nothing is built; only the moc files that the window's tests include are
# generated.
tidy: deps
	@scripts/install-deps --tidy
	@$(CMAKE) --preset tidy -B $(TIDY_BUILD) -G "$(GENERATOR)" >/dev/null
	@scripts/tidy $(TIDY_BUILD) $(JOBS)

# The benchmarks, then the every-layer example, its files and a cube map beside
# the renderer of commit e8a3ef7 (bench/compare-today builds that one into
# $(BUILD)/today-e8a3ef7), then its OpenEXR output beside its PNG and beside
# ImageMagick (bench/compare-exr).
bench: build
	@$(BUILD)/bench/horizonmill-bench
	@GENERATOR="$(GENERATOR)" bench/compare-today $(BUILD)
	@bench/compare-exr $(BUILD)

# libFuzzer targets (clang). `make fuzz` runs each of FUZZ_TARGETS for
# FUZZ_SECONDS, starting from its corpus in tests/fuzz/corpus/NAME and writing
# what it finds into fuzz-out/NAME (crashes into fuzz-out/NAME-crashes), with
# the words of tests/fuzz/NAME.dict when there is one: the tracked corpus is
# left alone. `make fuzz-merge` then adds to it, minimised, what fuzz-out
# holds that covers something new.
FUZZ_TARGETS ?= $(patsubst tests/fuzz/fuzz_%.cpp,%,$(wildcard tests/fuzz/fuzz_*.cpp))

fuzz-build: deps
	@scripts/install-deps --fuzz
	@$(CMAKE) --preset fuzz -B $(FUZZ_BUILD) -G "$(GENERATOR)" >/dev/null
	@$(CMAKE) --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	@for name in $(FUZZ_TARGETS); do \
	  mkdir -p fuzz-out/$$name fuzz-out/$$name-crashes; \
	  echo "== fuzz_$$name for $(FUZZ_SECONDS) s"; \
	  dict=tests/fuzz/$$name.dict; [ -f $$dict ] && dict=-dict=$$dict || dict=; \
	  $(FUZZ_BUILD)/tests/fuzz/fuzz_$$name -max_total_time=$(FUZZ_SECONDS) $$dict \
	    -artifact_prefix=fuzz-out/$$name-crashes/ fuzz-out/$$name tests/fuzz/corpus/$$name || exit 1; \
	done

fuzz-merge: fuzz-build
	@for name in $(FUZZ_TARGETS); do \
	  [ -d fuzz-out/$$name ] || continue; \
	  echo "== merging fuzz-out/$$name into tests/fuzz/corpus/$$name"; \
	  $(FUZZ_BUILD)/tests/fuzz/fuzz_$$name -merge=1 tests/fuzz/corpus/$$name fuzz-out/$$name \
	    2>&1 | grep -E '^MERGE-OUTER: [0-9]+ new files' || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(PACKAGE_BUILD) $(CHECK_BUILD) $(THREADS_BUILD) $(FUZZ_BUILD) $(TIDY_BUILD) out fuzz-out
