# Two commands for users: `make run` and `make test`. Everything else is for developers.
SHELL := /bin/bash
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

# Sections of scripts/packages.txt to install; each command asks only for what it needs, and the
# commands it runs first inherit that.
DEPS ?= run

.PHONY: run test build deps configure package format art bench measure measure-desktop fuzz asan clean

test asan bench measure measure-desktop fuzz: DEPS = run package test
package: DEPS = run package

deps:
	@scripts/install-deps $(DEPS)

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) > $(BUILD).configure.log 2>&1 || (cat $(BUILD).configure.log; exit 1)

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/vakto

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) 2>&1 | tee ctest.log; exit $${PIPESTATUS[0]}

# A Debian package of the installed layout: build/vakto_<version>_<arch>.deb.
package: build
	@cd $(BUILD) && cpack -G DEB

asan:
	@$(MAKE) --no-print-directory test BUILD=build-asan CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DVAKTO_SANITIZE=ON -DVAKTO_BENCH=OFF"

bench: build
	@$(BUILD)/bench/vakto_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

measure: build
	@MEASURE_BUILD=$(BUILD) tools/measure $(BUILD)/bin/vakto

measure-desktop: build
	@tools/measure-desktop $(BUILD)/bin/vakto

fuzz: deps
	@tools/fuzz $(or $(FUZZ_SECONDS),60)

art:
	@tools/make-art

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
