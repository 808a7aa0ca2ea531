# Two entry points: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON

.PHONY: deps configure build test tsan run bench fuzz clean format

deps:
	@tools/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# The thread tests run first under ThreadSanitizer, then every test under ASan and UBSan. The
# emulator tests measure real time on a shared machine: a test that misses a deadline is run
# again (at most three runs) before it counts as failed.
test: build tsan
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 300 --repeat until-pass:3

# The thread tests once more under ThreadSanitizer, in a build of their own.
TSAN_TARGETS ?= foundation_tests reproducer_tests link_tests lumaquill_tests
TSAN_TESTS ?= ^(QORThread|QORState|QORLock|QORCallback|ReelvoxCancel|DownloadThreadCancel|DmxSender)
tsan: deps
	@cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_TSAN=ON >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target $(TSAN_TARGETS)
	@cd build-tsan && ctest --output-on-failure -j $(JOBS) --timeout 300 -R '$(TSAN_TESTS)'

# Without a display (no $DISPLAY, no $WAYLAND_DISPLAY) the window cannot open: the example show
# is compiled in batch mode instead, on Qt's offscreen platform.
EXAMPLE_SCRIPT ?= $(BUILD_DIR)/dist/SCRIPTS/Fountain.ksf
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		$(BUILD_DIR)/dist/velmora; \
	else \
		echo "No display: compiling the example script $(EXAMPLE_SCRIPT) in batch mode instead"; \
		echo "(velmora -c, offscreen; exit status 3 means compiled but not downloaded)"; \
		QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/dist/velmora -c $(EXAMPLE_SCRIPT); \
		status=$$?; echo "velmora exit status: $$status"; \
		[ $$status -eq 0 ] || [ $$status -eq 3 ]; \
	fi

bench: deps
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-bench -j $(JOBS) --target benchmarks

# libFuzzer builds of the file-reader fuzz targets (needs clang).
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_LIBFUZZER=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzzers

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) build-bench build-fuzz build-tsan
