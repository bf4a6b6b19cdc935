# Two commands set up a fresh Debian 12 machine: `make run` and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)

PREFIX ?= /usr/local

.PHONY: deps configure build test run install clean bench

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# Starts the program on the desktop; without a display it says so instead of failing oddly.
run: configure
	@cmake --build $(BUILD) -j$(JOBS) --target quillfen
	@if [ -z "$$DISPLAY" ]; then \
	  echo "make run: no X display (DISPLAY is not set). Run it from a desktop session, or on a virtual screen: xvfb-run -a make run" >&2; \
	  exit 1; \
	fi
	$(BUILD)/platform/fltk/quillfen

# The program, its desktop entry and its icons under $(PREFIX).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# Our image loader against stb_image, SDL2_image and a plain read and copy, on 4096 x 4096
# files made during the run, with a table at the end; then createTexture, renderFrame and the
# time to the first frame in the headless program. Not part of `make test`.
bench: configure
	@cmake --build $(BUILD) --target qf_image_bench qf_program_bench -j$(JOBS)
	$(BUILD)/bench/qf_image_bench
	$(BUILD)/bench/qf_program_bench

clean:
	rm -rf $(BUILD)
