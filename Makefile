# The two entry points a new user needs; see README.md.
#   make run   installs what is missing, builds and starts Corvane
#   make test  installs what is missing, builds and runs every test (GCC), then again
#              under AddressSanitizer and UndefinedBehaviorSanitizer (clang)

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# The tests build with warnings as errors, so that no warning lands; a plain build (make run) on a
# newer compiler with warnings of its own still starts.
WERROR ?= OFF
test test-release test-sanitize: WERROR = ON
BUILD ?= build
ASAN_BUILD ?= build-asan
# The main build uses CMake's default generator and GCC, the sanitizer build Ninja and clang, so
# that the tests exercise both generators and both compilers (bootstrap installs ninja-build and
# clang).

.PHONY: all bootstrap build run test test-release test-sanitize package install clean

all: build

bootstrap:
	@./scripts/bootstrap.sh

build: bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=$(WERROR)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/run.sh $(BUILD)

test-release: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: bootstrap
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
		-DCORVANE_SANITIZE=ON -DCORVANE_WERROR=$(WERROR)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

test: test-release test-sanitize

package: build
	cd $(BUILD) && cpack

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
