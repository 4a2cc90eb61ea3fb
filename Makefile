# The two commands of the README are `make demo` and `make test`; both install what is missing.
JOBS ?= 2

.PHONY: all deps linux windows asan fuzz-build web test demo bench readme-pictures dist fuzz coverage
all: linux

deps:
	@bash scripts/deps.sh

linux: deps
	@cmake --preset linux >/dev/null
	@cmake --build build/linux -j $(JOBS)

windows: deps
	@cmake --preset windows >/dev/null
	@cmake --build build/windows -j $(JOBS)

# The native suite again under ASan and UBSan: only what the tests need, to keep the build lean.
asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build build/asan -j $(JOBS) --target kov_tests kov_soak

# The libFuzzer targets (clang): a project of their own under tests/fuzz.
fuzz-build: deps
	@cmake -S tests/fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build build/fuzz -j $(JOBS)

# The preview page (WebAssembly, emscripten): build/web/Wayglass-preview.html.
web: deps
	@NODE_PATH=/usr/share/nodejs emcmake cmake -S web -B build/web -G Ninja >/dev/null
	@NODE_PATH=/usr/share/nodejs cmake --build build/web -j $(JOBS)

test: linux windows asan fuzz-build web
	@cd build/linux && ctest --output-on-failure -j $(JOBS)
	@cd build/windows && ctest --output-on-failure -j $(JOBS)
	@ctest --preset asan -j $(JOBS)
	@cd build/fuzz && ctest --output-on-failure -j $(JOBS)
	@cd build/web && ctest --output-on-failure --verbose

# Each fuzz target for FUZZ_SECONDS (default 10 minutes); crashes land in build/fuzz/artifacts.
FUZZ_SECONDS ?= 600
FUZZ_TARGETS := ini_lookup log_line hostile_host
fuzz: fuzz-build
	@for target in $(FUZZ_TARGETS); do \
	  tests/fuzz/run_fuzzer.sh build/fuzz/$${target}_fuzzer $$target tests/fuzz build/fuzz long $(FUZZ_SECONDS) || exit 1; \
	done

# Line and branch coverage of src/ from the native suite (gcovr), in a build of its own.
COVERAGE_DIR ?= build/coverage
coverage: deps
	@bash scripts/coverage.sh $(COVERAGE_DIR) $(JOBS)

demo: linux windows web
	@build/linux/kov-demo scenarios/tour.json --out out/demo
	@/usr/bin/python3 scripts/page-screenshot.py build/web/Wayglass-preview.html out/demo/preview-page.png
	@echo "KOV.asi for the game folder: build/windows/KOV.asi"

# The README's pictures (docs/*.png, committed), drawn by kov-preview.
readme-pictures: linux
	@bash scripts/readme-pictures.sh build/linux

# The release zip, then the check that opens it.
DIST_ZIP := build/dist/Wayglass-V3.50.zip
dist: linux windows web
	@bash scripts/dist.sh build/windows/KOV.asi build/web/Wayglass-preview.html $(DIST_ZIP)
	@KOV_DIST_ZIP=$(CURDIR)/$(DIST_ZIP) build/linux/tests/kov_tests --gtest_filter='DistPackage.*' --gtest_brief=1

# Frame cost against the native-call floor (Release build of its own), then instructions per frame.
BENCH_DIR ?= build/bench
bench: deps
	@cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS) --target kov-bench kov-bench-frames
	@$(BENCH_DIR)/bench/kov-bench --benchmark_color=false
	@bash bench/callgrind.sh $(BENCH_DIR)/bench/kov-bench-frames
	@if [ -f build/windows/KOV.asi ]; then echo "KOV.asi: $$(stat -c %s build/windows/KOV.asi) bytes (budget: well under 200 KB)"; fi
