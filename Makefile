# The two everyday commands: `make run` and `make test`. Both install what is
# missing first, so they work on a fresh Debian 12 machine.
BUILD      := build
SAN_BUILD  := build-sanitize
FUZZ_BUILD := build-fuzz
JOBS       ?= $(shell nproc)
CMAKE_ARGS := $(if $(CI),-DKLOTZAR_WERROR=ON,)
# `make fuzz` runs each fuzz target this long; `make soak` plays this many games.
FUZZ_SECONDS ?= 300
SOAK_GAMES   ?= 100000

.PHONY: all deps build sanitize-build fuzz-build run test fuzz soak clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

sanitize-build: deps
	@cmake -S . -B $(SAN_BUILD) -DKLOTZAR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug $(CMAKE_ARGS) >/dev/null
	@cmake --build $(SAN_BUILD) -j $(JOBS)

# The fuzz targets need clang's libFuzzer; the build instruments everything.
fuzz-build: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DKLOTZAR_FUZZ=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target klotzar_fuzzers

run: build
	@if [ -x $(BUILD)/klotzar ]; then cd $(BUILD) && ./klotzar; \
	else $(BUILD)/tools/sim/klotzar-sim 5; fi

# The full suite runs last, so its summary closes the output.
test: build sanitize-build fuzz-build
	@echo "== fuzzing (30 s per target) =="
	@cd $(FUZZ_BUILD) && ctest --output-on-failure -j $(JOBS) -L fuzz
	@echo "== tests (sanitizers: address, undefined) =="
	@cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS)
	@echo "== tests =="
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

fuzz: fuzz-build
	@scripts/fuzz.sh -j $(JOBS) $(FUZZ_SECONDS) $(FUZZ_BUILD)/tests/fuzz/*_fuzzer

# The rules soak, under the sanitizers.
soak: deps
	@cmake -S . -B $(SAN_BUILD) -DKLOTZAR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug $(CMAKE_ARGS) >/dev/null
	@cmake --build $(SAN_BUILD) -j $(JOBS) --target klotzar-soak
	@scripts/soak.sh -j $(JOBS) $(SOAK_GAMES) $(SAN_BUILD)/tests/soak/klotzar-soak

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
