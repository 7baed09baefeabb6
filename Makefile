# Korvel: the two commands a fresh machine needs are `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)

.PHONY: deps deps-test configure build run test test-asan bench clean

deps:
	./scripts/install-deps.sh

deps-test:
	./scripts/install-deps.sh --test

configure:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: deps configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/bin/korvel

# Every test, then the core's tests again under AddressSanitizer and UBSan.
test: deps-test configure
	./scripts/install-ruffle.sh $(BUILD)/ruffle
	cmake --build $(BUILD) -j$(JOBS)
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)
	$(MAKE) --no-print-directory test-asan

test-asan:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVEL_SANITIZE=ON -DKORVEL_CORE_ONLY=ON >/dev/null
	cmake --build $(ASAN_BUILD) -j$(JOBS) --target korvel_core_tests
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS) -L core

# Every benchmark of the project, one line per figure: "name: median unit".
bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BENCH_BUILD) -j$(JOBS)
	@for b in $(BENCH_BUILD)/bench/korvel_bench_*; do [ -x "$$b" ] && "$$b" || exit 1; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD)
