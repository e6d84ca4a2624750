# Set-up, build and test in one place. Run as root on a fresh Debian machine and
# "make deps" installs whatever is missing; otherwise it prints the apt-get line.

BUILD          ?= build
BUILD_SANITIZE ?= build-sanitize
BUILD_BENCH    ?= build-bench
JOBS           ?= $(shell nproc)
CMAKE_FLAGS    ?=

PACKAGES := cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libfmt-dev nlohmann-json3-dev

.PHONY: all deps configure build demo test test-sanitize bench format clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -z "$$missing" ]; then exit 0; fi; \
	if [ "$$(id -u)" = 0 ]; then \
	  echo "Installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	else \
	  echo "Missing packages:$$missing"; \
	  echo "Run: sudo apt-get install -y$$missing"; \
	  exit 1; \
	fi

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

configure: $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The main job on the bundled sample data: check the files, then fit the measured
# crosses of a scanned photo (pixels) to its reseau (mm) and find the blunder.
demo: build
	cd examples && ../$(BUILD)/app/tarvis check Tarvis.cam reseau_5x5.res Tarvis.dres scan_crosses.imo
	@echo
	cd examples && ../$(BUILD)/app/tarvis fit scan_crosses.imo reseau_5x5.res --type auto --reject

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(BUILD_SANITIZE) -DCMAKE_BUILD_TYPE=Debug -DTARVIS_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD_SANITIZE) -j $(JOBS)
	cd $(BUILD_SANITIZE) && \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD_BENCH) -DCMAKE_BUILD_TYPE=Release -DTARVIS_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD_BENCH) -j $(JOBS) --target tarvis_bench
	$(BUILD_BENCH)/bench/tarvis_bench

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD_SANITIZE) $(BUILD_BENCH)
