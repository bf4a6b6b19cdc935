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
# files made during the run; prints a table at the end. Not part of `make test`.
bench: configure
	@cmake --build $(BUILD) --target qf_image_bench -j$(JOBS)
	$(BUILD)/bench/qf_image_bench

clean:
	rm -rf $(BUILD)

# A seeded random session through the whole program (tests/soak); CTest runs one fixed seed.
#   make soak SEED=N ACTIONS=M     any other seed and length
#   make soak SANITIZE=1 ...       the same with the address, undefined-behaviour and leak sanitizers
SEED ?= 20240611
ACTIONS ?= 10000
SANITIZE ?=
SOAK_BUILD = $(if $(SANITIZE),build-asan,$(BUILD))
SOAK_LSAN = $(if $(wildcard tests/sanitizer/lsan.supp),LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer/lsan.supp)

# The desktop program under valgrind's memcheck on a virtual screen: start-up, a few actions,
# Exit (tests/desktop_valgrind; `make test` runs it too).
.PHONY: soak valgrind
valgrind: configure
	@cmake --build $(BUILD) --target desktop_memcheck_test -j$(JOBS)
	cd $(BUILD) && ctest -R '^Memcheck[.]' --output-on-failure -V

soak: deps
	@cmake -S . -B $(SOAK_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(SANITIZE),-DQF_SANITIZE=ON) >/dev/null
	@cmake --build $(SOAK_BUILD) --target soak_tests -j$(JOBS)
	QF_SOAK_SEED=$(SEED) QF_SOAK_ACTIONS=$(ACTIONS) $(SOAK_LSAN) $(SOAK_BUILD)/tests/soak/soak_tests
