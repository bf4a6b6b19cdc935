# Two commands set up a fresh Debian 12 machine: `make run` and `make test`.
BUILD ?= build
ASAN_BUILD ?= build-asan
MUTANTS_BUILD ?= build-mutants
FUZZ_BUILD ?= build-fuzz
JOBS  ?= $(shell nproc)
# `make fuzz SECONDS=N` runs each fuzz target N seconds; `make test` runs a short smoke of each.
# FORMATS picks targets (bmp pcx tga qfr any; all when empty).
SECONDS ?= 60
SMOKE_SECONDS ?= 6
FORMATS ?=

PREFIX ?= /usr/local

# The Windows program, cross-built with MinGW-w64 (windows/).
WIN64_BUILD ?= build-win64
WIN32_BUILD ?= build-win32

# The Debian package's release build (packaging/).
PACKAGE_BUILD ?= build-package

.PHONY: deps windows configure build test check-gl test-sanitized fuzz fuzz-build fuzz-seeds fuzz-coverage run install clean bench mutants
.PHONY: package package-install-check dist differential differential32

# Packages in groups (scripts/install-deps.sh): `make run` needs only the desktop program's.
deps:
	@bash scripts/install-deps.sh test

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQF_TESTS=ON -DQF_GL_CHECK=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

# The suite as built, then again with the sanitizers, then the fuzz smoke.
# The Windows program is built first: its Wine tests (label windows) run it.
test: build windows
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)
	@$(MAKE) --no-print-directory test-sanitized
	@$(MAKE) --no-print-directory fuzz SECONDS=$(SMOKE_SECONDS)

# Address and undefined-behaviour sanitizers with leak detection, at -O1 (their usual level, and
# a quicker build); any sanitizer report fails the run (tests/sanitizer/ctest_sanitized.sh).
# The desktop tests stay in the plain run: memcheck cannot run a sanitized program, and the
# desktop program's memory is checked by memcheck instead.
test-sanitized: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQF_SANITIZE=ON \
		-DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	bash tests/sanitizer/ctest_sanitized.sh $(ASAN_BUILD) -j$(JOBS) -LE desktop

# quillfen-check on this machine's GL: the panel's state space drawn through the program's frame
# code and held to the OpenGL 1.1 arithmetic; the contact sheet goes to $(BUILD)/gl-check-sheet.png.
check-gl: configure
	@cmake --build $(BUILD) --target quillfen-check -j$(JOBS)
	$(BUILD)/tools/quillfen-check --sheet $(BUILD)/gl-check-sheet.png

# The loader's libFuzzer targets, built with clang in a directory of their own.
fuzz-build: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQF_FUZZ=ON \
		-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_targets

# Seeds come from real encoders and from the files the reader tests build.
fuzz-seeds: configure
	@cmake --build $(BUILD) -j$(JOBS) --target qf_image_tests
	/usr/bin/python3 scripts/make_fuzz_seeds.py fuzz/seeds $(BUILD)/tests/texture/image_files/qf_image_tests

fuzz: fuzz-build fuzz-seeds
	bash fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(SECONDS) $(FORMATS)

# How much of the readers the kept corpus reaches.
fuzz-coverage: fuzz-build fuzz-seeds
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_coverage_targets
	bash fuzz/coverage.sh $(FUZZ_BUILD) $(FORMATS)

# Starts the program on the desktop; without a display it says so instead of failing oddly.
# Only what the desktop program needs is installed and configured: no tests, no test backend.
run:
	@bash scripts/install-deps.sh run
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQF_TESTS=OFF -DQF_GL_CHECK=OFF >/dev/null
	@cmake --build $(BUILD) -j$(JOBS) --target quillfen
	@if [ -z "$$DISPLAY" ]; then \
	  echo "make run: no X display (DISPLAY is not set). Run it from a desktop session, or on a virtual screen: xvfb-run -a make run" >&2; \
	  exit 1; \
	fi
	$(BUILD)/linux/quillfen

# The program, its desktop entry and its icons under $(PREFIX).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# Our image loader against stb_image, SDL2_image and the floor program (one read into huge
# pages, one fused pass), on 4096 x 4096 files made during the run, with a table at the end; then createTexture, renderFrame and the
# time to the first frame in the headless program. Not part of `make test`.
bench: configure
	@cmake --build $(BUILD) --target qf_image_bench qf_program_bench -j$(JOBS)
	$(BUILD)/bench/qf_image_bench
	$(BUILD)/bench/qf_program_bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(MUTANTS_BUILD) $(WIN64_BUILD) $(WIN32_BUILD) \
		$(PACKAGE_BUILD) dist

# dist/quillfen_<version>-<revision>_amd64.deb: the release program with Debian's build flags
# (hardening), packaged by CPack from the build's install rules, then checked by lintian.
package:
	@bash scripts/install-deps.sh package
	@cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DQF_TESTS=OFF -DQF_GL_CHECK=ON \
		-DCMAKE_C_FLAGS="$$(dpkg-buildflags --get CFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
		-DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j$(JOBS)
	@deb=$$(bash packaging/build_deb.sh $(PACKAGE_BUILD) dist) && echo "$$deb" && \
		lintian --fail-on error,warning --display-info "$$deb"

# Installs dist/'s package with apt, starts the installed program on a virtual screen, removes
# the package and checks nothing of it is left. It changes the machine: not part of `make test`.
package-install-check: package configure
	@cmake --build $(BUILD) --target desktop_test -j$(JOBS)
	bash tests/systems/package/install_check.sh dist/quillfen_*_amd64.deb $(BUILD)/tests/systems/desktop/desktop_test

# Every release artefact in dist/ with SHA256SUMS: the Debian package, both Windows zips and
# the source tarball of the committed tree.
dist: package windows
	bash packaging/make_dist.sh dist

# quillfen.exe for 64-bit and 32-bit Windows, each alone with its runtimes linked in, and a zip
# of each (the exe and a readme) in dist/.
windows:
	@bash scripts/install-deps.sh windows
	@cmake -S . -B $(WIN64_BUILD) --toolchain windows/cmake/x86_64-w64-mingw32.cmake \
		-DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN64_BUILD) -j$(JOBS)
	@cmake -S . -B $(WIN32_BUILD) --toolchain windows/cmake/i686-w64-mingw32.cmake \
		-DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN32_BUILD) -j$(JOBS)
	@mkdir -p dist
	cp $(WIN64_BUILD)/quillfen-win64.zip $(WIN32_BUILD)/quillfen-win32.zip dist/

# A seeded random session through the whole program (tests/systems/soak); CTest runs one fixed seed.
#   make soak SOAK_SEED=N ACTIONS=M     any other seed and length
#   make soak SANITIZE=1 ...       the same in the sanitized build, as test-sanitized makes it
SOAK_SEED ?= 20240611
ACTIONS ?= 10000
SANITIZE ?=

# The desktop program under valgrind's memcheck on a virtual screen: start-up, a few actions,
# Exit (tests/systems/desktop/memcheck; `make test` runs it too).
.PHONY: soak valgrind
valgrind: configure
	@cmake --build $(BUILD) --target desktop_memcheck_test -j$(JOBS)
	cd $(BUILD) && ctest -R '^Memcheck[.]' --output-on-failure -V

ifeq ($(SANITIZE),)
soak: configure
	@cmake --build $(BUILD) --target soak_tests -j$(JOBS)
	QF_SOAK_SEED=$(SOAK_SEED) QF_SOAK_ACTIONS=$(ACTIONS) $(BUILD)/tests/systems/soak/soak_tests
else
soak: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQF_SANITIZE=ON \
		-DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" >/dev/null
	@cmake --build $(ASAN_BUILD) --target soak_tests -j$(JOBS)
	QF_SOAK_SEED=$(SOAK_SEED) QF_SOAK_ACTIONS=$(ACTIONS) ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 $(ASAN_BUILD)/tests/systems/soak/soak_tests
endif

# A seeded random session of STEPS actions, through SendInput, over our layer and under Wine (the
# 64-bit exe), compared step by step: "N steps compared, D divergences outside the allowed list".
SEED ?= 1
STEPS ?= 1000
DIFFERENTIAL_PREFIX = $(BUILD)/tests/systems/windows/wine-prefix
differential: build windows
	@[ -d $(DIFFERENTIAL_PREFIX)/drive_c/windows ] || bash tests/systems/desktop/run_under_xvfb.sh \
		/usr/bin/python3 tests/systems/windows/wine.py make-prefix $(CURDIR)/$(DIFFERENTIAL_PREFIX)
	bash tests/systems/scenario/differential.sh $(CURDIR)/$(BUILD)/tests/systems/scenario/scenario_run \
		$(CURDIR)/$(WIN64_BUILD)/scenario_run.exe $(CURDIR)/$(DIFFERENTIAL_PREFIX) \
		$(CURDIR)/$(BUILD)/differential/seed-$(SEED) $(SEED) $(STEPS)

# The same with the 32-bit exe, where Debian's i386 Wine (wine32) is installed; not in `make test`.
differential32: build windows
	@[ -x /usr/lib/wine/wine ] || { echo "differential32: /usr/lib/wine/wine is missing (dpkg --add-architecture i386; apt-get install wine32)"; exit 1; }
	@[ -d $(DIFFERENTIAL_PREFIX)/drive_c/windows ] || bash tests/systems/desktop/run_under_xvfb.sh \
		/usr/bin/python3 tests/systems/windows/wine.py make-prefix $(CURDIR)/$(DIFFERENTIAL_PREFIX)
	QF_WINE=/usr/lib/wine/wine bash tests/systems/scenario/differential.sh \
		$(CURDIR)/$(BUILD)/tests/systems/scenario/scenario_run $(CURDIR)/$(WIN32_BUILD)/scenario_run.exe \
		$(CURDIR)/$(DIFFERENTIAL_PREFIX) $(CURDIR)/$(BUILD)/differential32/seed-$(SEED) $(SEED) $(STEPS)

# Single faults planted in a copy of the program (scripts/run_mutants.py), each built and run against
# the tests that can see it; the report goes to $(MUTANTS_BUILD)/report.md. Not part of `make test`.
#   make mutants FILES="render/ panel/panel_sync.cpp" MUTANTS_SEED=N MAX=M   other files, seed, sample
#   make mutants IDS=a1b2c3d4e5,...                                 just these mutants again
#   make mutants FILES="render/ panel/" WHOLE="render/" MAX=600      render/ whole, 600 of panel/
MAX ?= 150
FILES ?=
IDS ?=
WHOLE ?=
MUTANTS_SEED ?= 20240611
mutants: deps
	nice -n 10 /usr/bin/python3 scripts/run_mutants.py --root $(MUTANTS_BUILD) --seed $(MUTANTS_SEED) \
		--max $(MAX) --jobs $(JOBS) $(if $(FILES),--files "$(FILES)") $(if $(IDS),--ids "$(IDS)") \
		$(if $(WHOLE),--whole "$(WHOLE)")
