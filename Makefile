# Two commands set up a fresh Debian 12 machine: `make run` and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: deps configure build test run clean bench

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

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

.PHONY: soak
soak: deps
	@cmake -S . -B $(SOAK_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(SANITIZE),-DQF_SANITIZE=ON) >/dev/null
	@cmake --build $(SOAK_BUILD) --target soak_tests -j$(JOBS)
	QF_SOAK_SEED=$(SEED) QF_SOAK_ACTIONS=$(ACTIONS) $(SOAK_LSAN) $(SOAK_BUILD)/tests/soak/soak_tests
