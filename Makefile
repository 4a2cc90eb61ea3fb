# The two commands of the README are `make demo` and `make test`; both install what is missing.
JOBS ?= 2

.PHONY: all deps linux windows asan fuzz-build web test demo demo-build bench readme-pictures dist fuzz coverage
all: linux

deps:
	@bash scripts/deps.sh

# $(call configure,SOURCE,BUILD_DIR,CMAKE_ARGS): configures the tree, afresh when it was made for a
# checkout elsewhere (a copied or moved one).
configure = @bash scripts/configure.sh $(1) $(2) $(3)
# $(call build,BUILD_DIR,TARGETS): builds those targets, or everything when none is named.
build = @cmake --build $(1) -j $(JOBS) $(if $(2),--target $(2))

linux: deps
	$(call configure,.,build/linux,--preset linux)
	$(call build,build/linux)

windows: deps
	$(call configure,.,build/windows,--preset windows)
	$(call build,build/windows)

# The native suite again under ASan and UBSan: only what the tests need, to keep the build lean.
asan: deps
	$(call configure,.,build/asan,--preset asan)
	$(call build,build/asan,kov_tests kov_soak)

# The libFuzzer targets (clang): a project of their own under tests/fuzz.
fuzz-build: deps
	$(call configure,tests/fuzz,build/fuzz,-G Ninja -DCMAKE_CXX_COMPILER=clang++)
	$(call build,build/fuzz)

# The preview page (WebAssembly, emscripten): build/web/Wayglass-preview.html. emscripten runs node
# with Debian's node modules, which a node that is not Debian's own finds through NODE_PATH.
EMSCRIPTEN_TOOLCHAIN := /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
web: export NODE_PATH = /usr/share/nodejs
web: deps
	$(call configure,web,build/web,-G Ninja -DCMAKE_TOOLCHAIN_FILE=$(EMSCRIPTEN_TOOLCHAIN))
	$(call build,build/web)

# Once the trees are built, their five suites run side by side, each with JOBS tests at a time: the
# Wine and browser tests spend much of their time waiting, which the others fill. Each suite's report
# comes whole when it ends; every suite runs even when another fails, and make test fails then.
SUITES := linux windows asan fuzz web
test: linux windows asan fuzz-build web
	@echo "test: the $(words $(SUITES)) suites ($(SUITES)) run side by side; each one's report comes when it ends"
	@$(MAKE) --no-print-directory --output-sync=target --keep-going -j $(words $(SUITES)) $(addprefix suite-,$(SUITES))

.PHONY: $(addprefix suite-,$(SUITES))
suite-linux suite-windows suite-fuzz:
	@cd build/$(@:suite-%=%) && ctest --output-on-failure -j $(JOBS)
suite-asan:
	@ctest --preset asan -j $(JOBS)
suite-web:
	@cd build/web && ctest --output-on-failure --verbose -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS (default 10 minutes); crashes land in build/fuzz/artifacts.
FUZZ_SECONDS ?= 600
FUZZ_TARGETS := ini_lookup log_line hostile_host settings_claims scenario tool_options tool_checks picture_options
fuzz: fuzz-build
	@for target in $(FUZZ_TARGETS); do \
	  tests/fuzz/run_fuzzer.sh build/fuzz/$${target}_fuzzer $$target tests/fuzz build/fuzz long $(FUZZ_SECONDS) || exit 1; \
	done

# Line and branch coverage of src/ from the native suite (gcovr), in a build of its own.
COVERAGE_DIR ?= build/coverage
coverage: deps
	@bash scripts/coverage.sh $(COVERAGE_DIR) $(JOBS)

# The demo builds only what it runs and ships: kov-demo with KOV.so, KOV.asi, and (through web) the page.
demo-build: deps
	@echo "demo: a first run builds KOV.so, kov-demo, KOV.asi and the preview page (about 1.5 to 2 minutes on 2 cores); later runs take seconds"
	$(call configure,.,build/linux,--preset linux)
	$(call build,build/linux,kov-demo)
	$(call configure,.,build/windows,--preset windows)
	$(call build,build/windows,kov_plugin)

demo: demo-build web
	@build/linux/kov-demo scenarios/tour.json --out out/demo
	@build/linux/kov-demo scenarios/drive.json --out out/demo/drive
	@node scripts/page-screenshot.mjs build/web/Wayglass-preview.html out/demo/preview-page.png
	@echo "KOV.asi for the game folder: build/windows/KOV.asi"
	@echo "The same tour through KOV.asi under Wine: make windows, then"
	@echo "  scripts/wine-run.sh build/windows/kov-sim.exe scenarios/tour.json"
	@echo "  (Wine's first start creates its prefix in build/windows/wineprefix: 10 to 30 s, once)"

# The README's pictures (docs/*.png, committed), drawn by kov-preview.
readme-pictures: deps
	$(call configure,.,build/linux,--preset linux)
	$(call build,build/linux,kov-preview kov-demo)
	@bash scripts/readme-pictures.sh build/linux

# The release zip, then the check that opens it.
# The version from the line "set(KOV_VERSION ...)" of cmake/version.cmake.
KOV_VERSION := $(shell sed -n 's/^set.KOV_VERSION \([0-9.]*\).*/\1/p' cmake/version.cmake)
DIST_ZIP := build/dist/Wayglass-V$(KOV_VERSION).zip
dist: linux windows web
	@bash scripts/dist.sh build/windows/KOV.asi build/web/Wayglass-preview.html $(DIST_ZIP)
	@KOV_DIST_ZIP=$(CURDIR)/$(DIST_ZIP) build/linux/tests/kov_tests --gtest_filter='DistPackage.*' --gtest_brief=1

# Frame cost against the native-call floor (Release build of its own), instructions per frame, and
# the time a scenario takes to read per member.
BENCH_DIR ?= build/bench
bench: deps
	$(call configure,.,$(BENCH_DIR),-G Ninja -DCMAKE_BUILD_TYPE=Release)
	$(call build,$(BENCH_DIR),kov-bench kov-bench-frames kov-bench-scenario)
	@$(BENCH_DIR)/bench/kov-bench --benchmark_color=false
	@$(BENCH_DIR)/bench/kov-bench-scenario
	@bash bench/callgrind.sh $(BENCH_DIR)/bench/kov-bench-frames
	@if [ -f build/windows/KOV.asi ]; then echo "KOV.asi: $$(stat -c %s build/windows/KOV.asi) bytes (budget: well under 200 KB)"; fi
