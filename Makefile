# Front door. `make run` and `make test` install what they need first.
SHELL := /bin/bash
CMAKE_GEN := -G Ninja
DEBUG_DIR := build/debug
RELEASE_DIR := build/release
FUZZ_DIR := build/fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)

.PHONY: deps run test bench fuzz release debug install clean

deps:
	@scripts/install-deps

release: deps
	cmake -S . -B $(RELEASE_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DZENTROPE_TESTS=OFF -DZENTROPE_BENCH=ON
	cmake --build $(RELEASE_DIR) -j $(JOBS)

debug: deps
	cmake -S . -B $(DEBUG_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DZENTROPE_SANITIZE=ON
	cmake --build $(DEBUG_DIR) -j $(JOBS)

# Builds, writes the sample animations and starts the program on one of
# them, playing.
run: release
	$(RELEASE_DIR)/bin/make-samples $(RELEASE_DIR)/samples
	scripts/run-program $(RELEASE_DIR) $(RELEASE_DIR)/samples/bouncing-ball.gif

# Sanitized build and every test.
test: debug
	ctest --test-dir $(DEBUG_DIR) --output-on-failure -j $(JOBS) --timeout 600

# Our codec against the Debian peers, as ratios from one run.
bench: release
	$(RELEASE_DIR)/bin/zentrope-bench

# Every libFuzzer target for FUZZ_SECONDS each, seeded from the shared corpus.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DZENTROPE_FUZZ=ON -DZENTROPE_GUI=OFF -DZENTROPE_TESTS=OFF \
	  -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	scripts/run-fuzzers $(FUZZ_DIR) $(FUZZ_SECONDS)

# Installs the release build under PREFIX (the program's folder is
# PREFIX/lib/zentrope; see packaging/Install.cmake).
PREFIX ?= /usr/local
install: release
	cmake --install $(RELEASE_DIR) --prefix $(PREFIX)

clean:
	rm -rf build
