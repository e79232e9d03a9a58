# Two commands for a fresh Debian machine:
#   make run    installs what is missing, builds, and opens the program on a demo installation
#   make check  installs what is missing, builds, and runs every test
# and for installing:
#   make install PREFIX=/usr/local   the program, help pages, desktop entry, icon and man pages
#   make package                     the Debian package build/tarvik-reporter_<version>_<arch>.deb
.PHONY: run check deps build test asan fuzz fuzz-build fuzz-long bench demo clean install package pkgcheck

JOBS      ?= $(shell nproc)
BUILD     ?= build
ASAN      ?= build-asan
FUZZ      ?= build-fuzz
FUZZ_SECS ?= 20
# The long fuzz run before a release: minutes per target, the corpus that grows from
# run to run (outside the tree), and how many targets run at once (a core each).
FUZZ_MINUTES ?= 10
FUZZ_CORPUS  ?= $(HOME)/.cache/tarvik-fuzz
FUZZ_JOBS    ?= 1
DEMO      ?= $(abspath $(BUILD))/demo
PREFIX    ?= /usr/local

deps:
	@scripts/deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The whole test suite again under the address and undefined-behaviour sanitizers.
asan: deps
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DTARVIK_SANITIZE=ON -DTARVIK_BENCH=OFF >/dev/null
	cmake --build $(ASAN) -j$(JOBS)
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$(JOBS)

# A short libFuzzer run over the line splitters and the day-file loaders.
fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_FUZZ=ON >/dev/null
	cmake --build $(FUZZ) -j$(JOBS)

fuzz: fuzz-build
	scripts/fuzz.sh $(FUZZ) $(FUZZ_SECS)

fuzz-long: fuzz-build
	scripts/fuzz.sh $(FUZZ) $$(( $(FUZZ_MINUTES) * 60 )) $(FUZZ_CORPUS) $(FUZZ_JOBS)

bench: build
	scripts/bench.sh $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack -G DEB

# The package unpacked into a scratch root: every file where the desktop expects it,
# the installed programs run from there, and lintian finds no error.
pkgcheck: package
	scripts/pkgcheck.sh $(BUILD)

check: build fuzz asan test pkgcheck

# The demo installation: a data folder written by the simulated supervisor under
# build/, unless TARVIK_COMMON_APPDATA names a real installation.
demo: build
	@scripts/demo.sh $(BUILD) $(DEMO)

run: demo
	@scripts/run.sh $(BUILD) $(DEMO)

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ)
