# Two entry points: `make run` and `make test`. Both install what is missing,
# configure and build; `make test-sanitizzato` repeats the suite under ASan/UBSan.
# `make install PREFIX=...` installs the program; `make clean` removes the build
# folders but keeps the word lists of the program that `make run` starts.

BUILD      ?= build
BUILD_SAN  ?= build-san
BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDI ?= 60
JOBS       ?= $(shell nproc)
PREFIX     ?= /usr/local
# The word lists that `make run`'s program keeps beside itself in $(BUILD).
LISTE      := sostituzioni.dat pulizia.dat

.PHONY: programma run test test-sanitizzato dipendenze bench bench-motori fuzz install clean

dipendenze:
	@bash scripts/installa-dipendenze.sh

$(BUILD)/CMakeCache.txt: | dipendenze
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(BUILD_SAN)/CMakeCache.txt: | dipendenze
	cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DQUADRIVO_SANITIZZATORI=ON -DQUADRIVO_BENCH=OFF

# The program and its batch command, as `make run` builds them.
programma: dipendenze $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target quadrivo quadrivo-pseudo

run: programma
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo ""; \
	  echo "Nessuno schermo disponibile (DISPLAY e WAYLAND_DISPLAY sono vuote)."; \
	  echo "Per avviare Quadrivo su uno schermo virtuale:  xvfb-run -a make run"; \
	  exit 1; \
	fi
	$(BUILD)/quadrivo

test: dipendenze $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-sanitizzato: dipendenze $(BUILD_SAN)/CMakeCache.txt
	cmake --build $(BUILD_SAN) -j$(JOBS)
	cd $(BUILD_SAN) && ctest --output-on-failure -j$(JOBS)

# One table of every speed figure, each against its reference in the same run.
bench: dipendenze $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target bench_motori bench_pseudo quadrivo-pseudo
	$(BUILD)/bench/bench_pseudo $(BUILD)/quadrivo-pseudo

# The scanning engines alone, in Google Benchmark's own report.
bench-motori: dipendenze $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target bench_motori
	$(BUILD)/bench/bench_motori
	cmake --build $(BUILD) -j$(JOBS) --target bench_editor && $(BUILD)/bench/bench_editor

# Each fuzz target in turn for its share of FUZZ_SECONDI seconds, from the
# committed seeds in fuzz/semi/<target>; every target asserts a property and
# stops at the first input that breaks it (or at undefined behaviour).
FUZZ_BERSAGLI := documento elenchi rtf ricerca codice byte pulizia riga
fuzz_max_len_documento := 65536
fuzz_max_len_elenchi   := 4096
fuzz_max_len_rtf       := 65536
fuzz_max_len_ricerca   := 512
fuzz_max_len_codice    := 16384
fuzz_max_len_byte      := 4096
fuzz_max_len_pulizia   := 512
fuzz_max_len_riga      := 256

fuzz: dipendenze
	cmake -S . -B $(BUILD_FUZZ) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++-14 \
	  -DQUADRIVO_FUZZ=ON -DQUADRIVO_BENCH=OFF
	cmake --build $(BUILD_FUZZ) -j$(JOBS) --target $(addprefix fuzz_,$(FUZZ_BERSAGLI))
	@quota=$$(( $(FUZZ_SECONDI) / $(words $(FUZZ_BERSAGLI)) )); [ $$quota -ge 1 ] || quota=1; \
	$(foreach b,$(FUZZ_BERSAGLI),echo "fuzz_$(b): $$quota s" && mkdir -p $(BUILD_FUZZ)/corpus/$(b) && \
	  $(BUILD_FUZZ)/fuzz/fuzz_$(b) -max_total_time=$$quota -max_len=$(fuzz_max_len_$(b)) \
	    -timeout=10 -rss_limit_mb=1024 $(BUILD_FUZZ)/corpus/$(b) fuzz/semi/$(b) && ) true

install: dipendenze $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)
	cmake --install $(BUILD) --prefix "$(PREFIX)"

# Everything but the word lists goes; they are the user's own data.
clean:
	@for d in $(BUILD) $(BUILD_SAN) $(BUILD_FUZZ); do \
	  [ -d "$$d" ] || continue; \
	  find "$$d" -mindepth 1 -maxdepth 1 $(foreach f,$(LISTE),! -name $(f)) -exec rm -rf {} +; \
	  rmdir "$$d" 2>/dev/null || echo "Elenchi conservati: $$(cd "$$d" && echo *) in $$d/"; \
	done
