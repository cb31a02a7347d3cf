# The two everyday commands: `make run` and `make test`. Both install what is
# missing first, so they work on a fresh Debian 12 machine.
BUILD      := build
SAN_BUILD  := build-sanitize
JOBS       ?= $(shell nproc)
CMAKE_ARGS := $(if $(CI),-DKLOTZAR_WERROR=ON,)

.PHONY: all deps build sanitize-build run test clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

sanitize-build: deps
	@cmake -S . -B $(SAN_BUILD) -DKLOTZAR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug $(CMAKE_ARGS) >/dev/null
	@cmake --build $(SAN_BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/klotzar ]; then cd $(BUILD) && ./klotzar; \
	else $(BUILD)/tools/sim/klotzar-sim 5; fi

test: build sanitize-build
	@echo "== tests (sanitizers: address, undefined) =="
	@cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS)
	@echo "== tests =="
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
