# The two everyday commands: `make run` and `make test`. Both install what is
# missing first, so they work on a fresh Debian 12 machine. `make run` needs
# only the game's packages and builds only the game and its assets; `make test`
# installs the test tools too and builds everything.
BUILD      := build
SAN_BUILD  := build-sanitize
FUZZ_BUILD := build-fuzz
DEB_BUILD  ?= build-deb
PREFIX     ?= /usr/local
JOBS       ?= $(shell nproc)
CMAKE_ARGS := $(if $(CI),-DKLOTZAR_WERROR=ON,)
# `make fuzz` runs each fuzz target this long; `make soak` plays this many games.
FUZZ_SECONDS ?= 300
SOAK_GAMES   ?= 100000

.PHONY: all deps test-deps deb-deps game build sanitize-build fuzz-build run test install deb fuzz soak clean

all: build

deps:
	@scripts/install-deps.sh

test-deps:
	@scripts/install-deps.sh --test

deb-deps:
	@scripts/install-deps.sh --deb

# Only the game and its assets (and the files `make install` copies).
game: deps
	@cmake -S . -B $(BUILD) $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target klotzar

build: test-deps
	@cmake -S . -B $(BUILD) $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

sanitize-build: test-deps
	@cmake -S . -B $(SAN_BUILD) -DKLOTZAR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug $(CMAKE_ARGS) >/dev/null
	@cmake --build $(SAN_BUILD) -j $(JOBS)

# The fuzz targets need clang's libFuzzer; the build instruments everything.
fuzz-build: test-deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DKLOTZAR_FUZZ=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target klotzar_fuzzers

run: game
	@$(BUILD)/klotzar

# To /usr/local (sudo asks when needed), or for one user: make install PREFIX=~/.local
install: game
	@mkdir -p "$(PREFIX)" 2>/dev/null || true
	@if [ -w "$(PREFIX)" ]; then cmake --install $(BUILD) --prefix "$(PREFIX)"; \
	else sudo cmake --install $(BUILD) --prefix "$(PREFIX)"; fi

# A Debian package of the game under /usr, its binary in /usr/games.
deb: deb-deps
	@cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games \
	  -DKLOTZAR_TESTS=OFF $(CMAKE_ARGS) >/dev/null
	@cmake --build $(DEB_BUILD) -j $(JOBS)
	@cd $(DEB_BUILD) && cpack >/dev/null
	@ls $(abspath $(DEB_BUILD))/klotzar_*.deb

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
soak: test-deps
	@cmake -S . -B $(SAN_BUILD) -DKLOTZAR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug $(CMAKE_ARGS) >/dev/null
	@cmake --build $(SAN_BUILD) -j $(JOBS) --target klotzar-soak
	@scripts/soak.sh -j $(JOBS) $(SOAK_GAMES) $(SAN_BUILD)/tests/soak/klotzar-soak

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(DEB_BUILD)
