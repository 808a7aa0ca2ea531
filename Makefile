# Two entry points: `make run` and `make test`. Both install what is missing first.
# Each kind of build has a folder of its own:
#   build/       the test build: Debug with AddressSanitizer and UndefinedBehaviorSanitizer, and
#                warnings are errors, compiled by clang (make build, make test)
#   build-tsan/  the threaded test suites under ThreadSanitizer, clang (make tsan, part of make test)
#   build-run/   the program, optimised with debug information (make run); the benchmarks compile
#                here too (make bench-compile), so CI needs no tree of its own for them
#   build-bench/ the benchmarks, Release, for their figures (make bench)
#   build-fuzz/  the libFuzzer fuzzers, clang, the core libraries only (make fuzz)
# Only the test builds stop on a warning, so a newer compiler never stops the others.
BUILD_DIR ?= build
RUN_DIR ?= build-run
JOBS ?= $(shell nproc)
# The sanitizer trees are compiled with clang: with the same flags it compiles them in about
# half the time gcc takes. The optimised trees stay on the default compiler, so the code stays
# clean under both compilers' warnings.
SANITIZER_CC ?= clang
SANITIZER_CXX ?= clang++
SANITIZER_COMPILERS = -DCMAKE_C_COMPILER=$(SANITIZER_CC) -DCMAKE_CXX_COMPILER=$(SANITIZER_CXX)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_WERROR=ON
# Most suites spend their time waiting on a peer or a time-out, not computing: twice as many
# run side by side as there are processors.
TEST_JOBS ?= $(shell echo $$(( $(JOBS) * 2 )))
CTEST_BASE = ctest --output-on-failure --timeout 300
CTEST = $(CTEST_BASE) -j $(TEST_JOBS)
# The test trees precompile their common headers; the compiler cache may reuse objects built
# with them (the headers' own time stamps and the macros they define are part of the PCH).
export CCACHE_SLOPPINESS = pch_defines,time_macros,include_file_mtime,include_file_ctime
# A tree configured with another compiler than the one asked for now starts afresh.
define fresh_if_other_compiler
	@if [ -f $(1)/CMakeCache.txt ] && ! grep -q "^CMAKE_CXX_COMPILER:[A-Z]*=.*$(2)$$" $(1)/CMakeCache.txt; then \
		echo "$(1): compiler changed to $(2), configuring afresh"; rm -rf $(1)/CMakeCache.txt $(1)/CMakeFiles; fi
endef

.PHONY: deps configure build test tsan tsan-build run run-configure bench bench-build bench-compile fuzz clean format

deps:
	@tools/install-deps

configure: deps
	$(call fresh_if_other_compiler,$(BUILD_DIR),$(SANITIZER_CXX))
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(SANITIZER_COMPILERS) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# Every suite runs under ASan and UBSan, and the threaded ones once more under ThreadSanitizer.
# Each test runs with a home and a settings folder of its own in the build tree.
# A suite labelled `timing` measures real time, and a shared machine can make it miss a
# deadline: it is run again (at most three runs) before it counts as failed. Every other
# suite runs once. Labels: tests/CMakeLists.txt.
# The two trees' suites run side by side, in two rounds: first the suites that do not measure
# time (the sanitized tree's keep the processors busy; the threaded ones mostly wait on a peer),
# then the timing suites of both trees (waiting on peers more than computing), so none of them
# runs beside the busy first round. The threaded tree's output follows each round.
TSAN_LOG = build-tsan/Testing/make-test.log
test: build tsan-build
	@status=0; \
	(cd build-tsan && $(CTEST_BASE) -j $(JOBS) -L threaded -LE timing) >$(TSAN_LOG) 2>&1 & tsan=$$!; \
	(cd $(BUILD_DIR) && $(CTEST) -LE timing) || status=1; \
	wait $$tsan || status=1; echo "== ThreadSanitizer:"; cat $(TSAN_LOG); \
	(cd build-tsan && $(CTEST) -L threaded -L timing --repeat until-pass:3) >$(TSAN_LOG) 2>&1 & tsan=$$!; \
	(cd $(BUILD_DIR) && $(CTEST) -L timing --repeat until-pass:3) || status=1; \
	wait $$tsan || status=1; echo "== ThreadSanitizer:"; cat $(TSAN_LOG); \
	exit $$status

# Only the programs that hold threaded suites and what they link: no widget.
tsan-build: deps
	$(call fresh_if_other_compiler,build-tsan,$(SANITIZER_CXX))
	@cmake -S . -B build-tsan -G Ninja $(SANITIZER_COMPILERS) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_TSAN=ON -DVELMORA_WERROR=ON >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target threaded_tests
	@mkdir -p build-tsan/Testing

# The threaded suites alone, under ThreadSanitizer.
tsan: tsan-build
	@cd build-tsan && status=0; \
	$(CTEST) -L threaded -LE timing || status=1; \
	$(CTEST) -L threaded -L timing --repeat until-pass:3 || status=1; \
	exit $$status

# Without a display (no $DISPLAY, no $WAYLAND_DISPLAY) the window cannot open: the example show
# is compiled in batch mode instead, on Qt's offscreen platform.
EXAMPLE_SCRIPT ?= $(RUN_DIR)/dist/SCRIPTS/Fountain.ksf
run-configure: deps
	@cmake -S . -B $(RUN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BENCHMARKS=ON >/dev/null

run: run-configure
	@cmake --build $(RUN_DIR) -j $(JOBS) --target velmora
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		$(RUN_DIR)/dist/velmora; \
	else \
		echo "No display: compiling the example script $(EXAMPLE_SCRIPT) in batch mode instead"; \
		echo "(velmora -c, offscreen; exit status 3 means compiled but not downloaded)"; \
		QT_QPA_PLATFORM=offscreen $(RUN_DIR)/dist/velmora -c $(EXAMPLE_SCRIPT); \
		status=$$?; echo "velmora exit status: $$status"; \
		[ $$status -eq 0 ] || [ $$status -eq 3 ]; \
	fi

# The benchmarks compiled in the optimised tree of make run (what CI does to keep them building).
bench-compile: run-configure
	@cmake --build $(RUN_DIR) -j $(JOBS) --target benchmarks

# Builds the benchmarks (Release) and runs each once.
bench: bench-build
	@for b in build-bench/bench/bench_*; do echo "== $$b"; $$b || exit 1; done

# The benchmarks built in Release, not run (their figures need a quiet machine).
bench-build: deps
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCHMARKS=ON >/dev/null
	@cmake --build build-bench -j $(JOBS) --target benchmarks

# libFuzzer builds of the file-reader fuzz targets (needs clang): optimised as fuzzers usually
# are (-O1, assertions kept). Run one with its seeds copied to a scratch folder, e.g.
#   mkdir -p /tmp/seeds && cp fuzz/corpus/script_reader/* /tmp/seeds/
#   build-fuzz/fuzz/fuzz_script_reader -max_total_time=60 /tmp/seeds
fuzz:
	@tools/install-deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" -DVELMORA_LIBFUZZER=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzzers

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(RUN_DIR) build-bench build-fuzz build-tsan
