# Front door: `make test` and `make run` do all the set-up on Debian.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build test run dist art previews clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake $(CMAKE_FLAGS)

configure: $(BUILD)/CMakeCache.txt

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	scripts/with-wine $(BUILD) ctest --test-dir $(BUILD) --output-on-failure --timeout 600

run: build
	scripts/run-pellory $(BUILD)

# The portable zip, the installer and their manifests (see scripts/make-dist), signed when given
# SIGN_CERT=cert.pem SIGN_KEY=key.pem; RELEASE_URL is the web folder the manifests point to.
export SIGN_CERT SIGN_KEY SIGN_PASS SIGN_FROM SIGN_CA RELEASE_URL
dist: build
	rm -rf dist
	scripts/make-dist $(BUILD) dist

# Regenerates the committed bitmaps and icon from their text sources.
art: build
	scripts/with-wine $(BUILD) scripts/wine-run $(BUILD)/tools/artgen.exe write resources/art resources/bitmaps

# PNG previews of the character in every costume combination, under $(BUILD)/art.
previews: build
	scripts/with-wine $(BUILD) scripts/make-previews $(BUILD)

clean:
	rm -rf $(BUILD)
