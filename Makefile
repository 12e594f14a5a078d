# make run: install what building and running need, build Release, start the game.
# make test: install the test tools too, build, run every suite, beside them the same under ASan + UBSan, then
#   each fuzz target 30 s; every one of its builds, the Windows and browser builds included, stops at
#   any compiler or linker warning (make run never turns that on; it keeps what the folder has).
# make package: build the Debian package zum32_<version>_<arch>.deb in the build folder.
# make fuzz: build the libFuzzer targets with clang and run each for FUZZ_SECONDS, one per core at once.
# make windows: cross-compile the same game code for Windows with MinGW-w64 into build-windows/zum32.exe.
# make web: build the same game code for the browser with emscripten: a static site in build-web/
#   (make test builds the game's suites there too and runs them under Node).
# make bench: build, then print one table of start-up, idle, memory and drawing cost, each against
#   its baseline measured in the same run (bench/run.sh; benchmarks are never part of make test).
JOBS ?= $(shell nproc)
# The builds below are sub-makes, which would otherwise name every folder they enter and leave.
MAKEFLAGS += --no-print-directory
BUILD ?= build
SAN_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
WINDOWS_BUILD ?= build-windows
WEB_BUILD ?= build-emscripten
WEB_SITE ?= build-web
WEB_TESTS ?= OFF
FUZZ_SECONDS ?= 60

.PHONY: run test build windows web deps test-deps checks-beside sanitize-test fuzz fuzz-build fuzz-smoke bench \
  package clean artwork sounds screenshots

# What building and running need; test-deps adds the test, packaging and benchmark tools.
deps:
	@bash scripts/install-deps.sh run
test-deps:
	@bash scripts/install-deps.sh run package test

build: test-deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DZUM32_TESTS=ON $(WERROR_FLAG) \
	  -DZUM32_WINDOWS_EXE=$(abspath $(WINDOWS_BUILD))/zum32.exe -DZUM32_WEB_SITE=$(abspath $(WEB_SITE)) >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

# A new build folder is configured without the test suites, which need the test tools, and
# without a line for every file it compiles; one that make test configured keeps them.
run: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DZUM32_TESTS=OFF \
	  -DCMAKE_RULE_MESSAGES=OFF -DCMAKE_TARGET_MESSAGES=OFF >/dev/null
	@echo "Building the game in $(BUILD)/ (a few minutes the first time)..."
	@cmake --build $(BUILD) -j$(JOBS) --target zum32
	./$(BUILD)/zum32

package:
	@bash scripts/install-deps.sh run package
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DZUM32_TESTS=OFF >/dev/null
	@cmake --build $(BUILD) -j$(JOBS) --target zum32
	cd $(BUILD) && cpack -G DEB

# The game's own libraries on Windows itself, with MinGW-w64 and windres.
windows:
	@bash scripts/install-deps.sh windows
	@cmake --no-warn-unused-cli -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
	  $(WERROR_FLAG) >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j$(JOBS)

# The browser build: host tools first (they run at build time), then em++ lays out the site.
# Debian's emscripten finds its JavaScript modules only through NODE_PATH under another Node.
web:
	@bash scripts/install-deps.sh web
	@cmake -S tools -B $(WEB_BUILD)/host -DCMAKE_BUILD_TYPE=Release $(WERROR_FLAG) >/dev/null
	@cmake --build $(WEB_BUILD)/host -j$(JOBS)
	@NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B $(WEB_BUILD)/page -DCMAKE_BUILD_TYPE=Release \
	  -DZUM32_HOST_TOOLS=$(abspath $(WEB_BUILD))/host -DZUM32_WEB_SITE=$(abspath $(WEB_SITE)) \
	  -DZUM32_TESTS=$(WEB_TESTS) $(WERROR_FLAG) >/dev/null
	@NODE_PATH=/usr/share/nodejs cmake --build $(WEB_BUILD)/page -j$(JOBS)

# The Windows build is compared with ours under Wine, and the browser build with ours in chromium,
# by tests of the Release build. The tests see the Japanese game whatever the machine's locale;
# the English checks ask for English themselves. Those suites, whose checks in a display wait on a
# real X server, run at full priority; the checks that need no display (the browser build's suites,
# the sanitizer build and its suites, the fuzz build) run beside them on the CPU they leave
# (scripts/lanes.sh). The fuzz targets come last, with both cores to themselves.
test: WERROR_FLAG = -DZUM32_WERROR=ON
test: build windows
	@$(MAKE) --no-print-directory web WEB_TESTS=ON WERROR_FLAG=-DZUM32_WERROR=ON
	@bash scripts/lanes.sh $(BUILD)/checks-beside.log \
	  "cd $(BUILD) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy LANGUAGE=ja ctest --output-on-failure --no-tests=error -j$(JOBS)" \
	  "$(MAKE) --no-print-directory checks-beside"
	@$(MAKE) --no-print-directory fuzz-smoke

checks-beside:
	cd $(WEB_BUILD)/page && ctest --output-on-failure --no-tests=error -j$(JOBS)
	@$(MAKE) --no-print-directory sanitize-test
	@$(MAKE) --no-print-directory fuzz-build

sanitize-test: test-deps
	@cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZUM32_SANITIZE=ON -DZUM32_BENCH=OFF \
	  -DZUM32_WERROR=ON >/dev/null
	@cmake --build $(SAN_BUILD) -j$(JOBS)
	cd $(SAN_BUILD) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy LANGUAGE=ja \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/lsan.supp \
	  ctest --output-on-failure --no-tests=error -j$(JOBS)

# The fuzz targets need clang's libFuzzer; their build folder builds nothing else.
fuzz-build: test-deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZUM32_FUZZ=ON \
	  -DZUM32_TESTS=OFF -DZUM32_BENCH=OFF -DZUM32_WERROR=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_targets

fuzz: fuzz-build
	@bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

fuzz-smoke:
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=30

bench: build
	@bash scripts/install-deps.sh bench
	@$(MAKE) --no-print-directory web
	@bash bench/run.sh $(BUILD) $(abspath $(WEB_SITE)) $(abspath $(WEB_BUILD))/page/hello-site

# The README's pictures, from the real game in Xvfb.
screenshots: build
	bash tools/screenshots.sh $(BUILD)/zum32 docs

# Our own artwork and sounds; the build uses the committed files and never runs these.
artwork:
	@bash scripts/install-deps.sh art
	/usr/bin/python3 tools/make_art.py
sounds:
	@bash scripts/install-deps.sh art
	/usr/bin/python3 tools/make_sounds.py

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD) $(WEB_BUILD) $(WEB_SITE)
