# make run: install what is missing, build Release, start the game.
# make test: install, build, run every suite, then again under ASan + UBSan.
JOBS ?= $(shell nproc)
BUILD ?= build
SAN_BUILD ?= build-sanitize

.PHONY: run test build deps sanitize-test bench clean artwork sounds

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DZUM32_TESTS=ON >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/zum32

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy ctest --output-on-failure --no-tests=error -j$(JOBS)
	@$(MAKE) --no-print-directory sanitize-test

sanitize-test: deps
	@cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZUM32_SANITIZE=ON -DZUM32_BENCH=OFF >/dev/null
	@cmake --build $(SAN_BUILD) -j$(JOBS)
	cd $(SAN_BUILD) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/lsan.supp \
	  ctest --output-on-failure --no-tests=error -j$(JOBS)

bench: build
	@for b in $(BUILD)/bench/*_bench; do [ -x "$$b" ] && "$$b"; done

# Our own artwork and sounds; the build uses the committed files and never runs these.
artwork:
	/usr/bin/python3 tools/make_art.py
sounds:
	/usr/bin/python3 tools/make_sounds.py

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
