# Front door: `make run` plays, `make test` checks everything.
BUILD      := build
ASAN_BUILD := build-asan
JOBS       ?= $(shell nproc)

.PHONY: all deps build asan run edit install package test unit-test asan-test e2e-test bench fuzz format clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DSQ_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

# Clang build with AddressSanitizer, UndefinedBehaviorSanitizer and the fuzzers.
asan: deps
	CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug \
	  -DSQ_SANITIZE=ON -DSQ_FUZZ=ON -DSQ_WERROR=ON -DSQ_ASSETS_FROM=$(CURDIR)/$(BUILD)/data
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# `make install PREFIX=... DESTDIR=...`: the programs in PREFIX/bin, the
# assets in PREFIX/share/squeakling, menu entries, icons and manual pages.
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package, build/squeakling_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

run: build
	bash scripts/run-game.sh squeakling

edit: build
	bash scripts/run-game.sh gridcraft

test: build asan
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(ASAN_CTEST)

# Parts of `make test`: the unit tests, the sanitizer run, the end-to-end tests.
unit-test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -L unit

asan-test: asan
	$(ASAN_CTEST)

e2e-test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -L e2e

# The sanitizer run leaves out the end-to-end tests and benchmarks, which
# time real frames. LeakSanitizer checks every test process as it ends:
# what the programs keep for the whole run stays reachable through globals.
ASAN_CTEST = cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 \
  ctest --output-on-failure -j $(JOBS) -LE 'e2e|bench'

bench: build
	@for b in $(BUILD)/bin/*_bench; do echo "== $$b"; $$b || exit 1; done

fuzz: asan
	@for f in $(ASAN_BUILD)/bin/*_fuzz; do \
	  n=$$(basename $$f); mkdir -p $(ASAN_BUILD)/fuzz-corpus/$$n; \
	  d=; [ -f fuzz/$$n.dict ] && d=-dict=fuzz/$$n.dict; \
	  echo "== $$n"; $$f -max_total_time=300 -rss_limit_mb=2048 $$d \
	    $(ASAN_BUILD)/fuzz-corpus/$$n fuzz/corpus/$$n || exit 1; \
	done

# Rewrites every tracked C++ file in the style of .clang-format; `make test`
# checks that nothing is left to rewrite.
format:
	git ls-files '*.cpp' '*.h' | xargs clang-format-14 -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
