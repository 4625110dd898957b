# The README's two commands: `make run` and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps configure build test golden run bench clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release > $(BUILD).configure.log 2>&1 \
		|| { cat $(BUILD).configure.log; exit 1; }

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Rewrites the golden files in tests/data/ from the current code: run it only
# on purpose, and review what changed before committing.
golden: build
	@for program in $(BUILD)/tests/test_*; do \
		[ -f "$$program" ] && [ -x "$$program" ] || continue; \
		ROOTWEAVER_REGENERATE_GOLDEN=1 $$program --gtest_filter='*Golden*' || exit 1; \
	done

run: build
	@$(BUILD)/app/rootweaver

# Times the engine against the tree walk and hand-written programs (several
# minutes); not part of the tests. `make bench BENCH_ARGS=methods` runs the
# methods section alone.
BENCH_ARGS ?=
bench: configure
	@cmake --build $(BUILD) --target rootweaver_bench -j $(JOBS)
	@$(BUILD)/bench/rootweaver_bench $(BENCH_ARGS)

clean:
	@rm -rf $(BUILD) $(BUILD).configure.log
