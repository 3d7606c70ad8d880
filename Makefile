# The whole set-up on a fresh Debian 12 machine: `make run` or `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
PROGRAM_DIR := $(BUILD_DIR)/bin

.PHONY: all deps configure build run test bench format clean install-desktop uninstall-desktop

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	cd $(PROGRAM_DIR) && ./scrivlet

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bench/*; do \
		[ -f "$$b" ] && [ -x "$$b" ] || continue; \
		echo "== $$(basename $$b)"; \
		QT_QPA_PLATFORM=offscreen "$$b" || exit 1; \
	done

# The program's entry and icon in the user's applications menu, for the program directory of
# this build (or PROGRAM_DIR=/path/of/an/installed/copy).
install-desktop: build
	@bash scripts/install-desktop.sh $(abspath $(PROGRAM_DIR))

uninstall-desktop:
	@bash scripts/install-desktop.sh --remove $(abspath $(PROGRAM_DIR))

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR)
