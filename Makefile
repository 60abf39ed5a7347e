# The two commands a newcomer types: `make run` and `make test`.
BUILD ?= build
WINDOWS_BUILD ?= build-windows
WEB_BUILD ?= build-web
BENCH_BUILD ?= build-bench
BUILD_TYPE ?= RelWithDebInfo

.PHONY: all deps configure build run test package windows web web-run bench-web web-screenshot screenshots windows-screenshots bench \
	bench-windows test-sanitize \
	fuzz fuzz-corpus soak format clean

all: build

# Playing needs only what building and playing need; the goals asked for add
# their own tools (scripts/install-deps lists them).
DEPS_GROUPS = $(sort $(if $(filter package,$(MAKECMDGOALS)),package) \
	$(if $(filter test test-sanitize,$(MAKECMDGOALS)),test) \
	$(if $(filter fuzz fuzz-corpus,$(MAKECMDGOALS)),fuzz) \
	$(if $(filter windows windows-screenshots bench-windows,$(MAKECMDGOALS)),windows) \
	$(if $(filter windows-screenshots bench-windows,$(MAKECMDGOALS)),wine) \
	$(if $(filter screenshots,$(MAKECMDGOALS)),screenshots))

deps:
	@scripts/install-deps $(DEPS_GROUPS)

# The tests check the Windows build where `make windows` makes it.
configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
		-DKORVO_WINDOWS_BUILD=$(abspath $(WINDOWS_BUILD)) >/dev/null

build: configure
	@cmake --build $(BUILD)

run: build
	@scripts/run-game $(BUILD)

# The tests also check the Debian package, so it is built first.
test: build package
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

package: build
	@cmake --build $(BUILD) --target package

# The game as a page, built with Debian's Emscripten into build-web/:
# index.html, the program's .js and .wasm, the pictures and two fonts. Only
# what the browser build needs is installed. Debian's Emscripten finds its
# JavaScript helpers in /usr/share/nodejs, where a Node.js from elsewhere
# does not look by itself; the host's compiler flags are not Emscripten's.
web:
	@scripts/install-deps web
	@env -u CFLAGS -u CXXFLAGS -u CPPFLAGS -u LDFLAGS NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B $(WEB_BUILD) \
		-G Ninja -DKORVO_BACKEND=web -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
	@NODE_PATH=/usr/share/nodejs cmake --build $(WEB_BUILD)
	@ls -l $(WEB_BUILD)/index.html $(WEB_BUILD)/korvo-game.js $(WEB_BUILD)/korvo-game.wasm

# The page's measures in headless Chromium: bytes, splash, ticks, CPU.
bench-web: web
	@scripts/install-deps test
	@/usr/bin/python3 bench/web/measure.py $(WEB_BUILD)

# The README's picture of the page.
web-screenshot: web
	@scripts/install-deps test
	@scripts/web-screenshot $(WEB_BUILD) docs/screenshots/web-game.png

# Serves build-web/ on this machine only and says where to point a browser.
web-run: web
	@scripts/serve-web $(WEB_BUILD)

# The Windows program, its installer and its portable zip, cross-built with
# MinGW-w64 into build-windows/: its pictures are drawn by the renderer built
# here in build/.
# The host's compiler flags are not the cross compiler's.
windows: configure
	@cmake --build $(BUILD) --target korvo-render-icon
	@env -u CFLAGS -u CXXFLAGS -u CPPFLAGS -u LDFLAGS cmake -S . -B $(WINDOWS_BUILD) -G Ninja \
		-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
		-DKORVO_HOST_RENDERER=$(abspath $(BUILD))/packaging/korvo-render-icon >/dev/null
	@cmake --build $(WINDOWS_BUILD) --target korvo-game installer portable
	@ls -l $(WINDOWS_BUILD)/korvo-game.exe $(WINDOWS_BUILD)/korvo-game-*-setup.exe \
		$(WINDOWS_BUILD)/korvo-game-*-windows-x64.zip

# The README's pictures, taken on a virtual display under Xfce's window
# manager, at scale 1 and 2.
screenshots: build
	@scripts/screenshots $(BUILD)

# The Windows build's pictures, taken under Wine on a virtual display at 96
# and 192 DPI.
windows-screenshots: windows
	@scripts/windows-screenshots $(WINDOWS_BUILD)

# Benchmarks run on an optimised build of their own, never as part of the tests.
bench: deps
	@cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
	@cmake --build $(BENCH_BUILD) --target benchmarks
	@bench/run $(BENCH_BUILD)

# The Windows build's cost under Wine against bare Win32 programs, one
# summary line each, in a build of their own (about four minutes).
BENCH_WINDOWS_BUILD ?= build-bench-windows
bench-windows: windows
	@bench/windows/run $(WINDOWS_BUILD) $(BENCH_WINDOWS_BUILD)

# Memory over time: 1,000 About dialogs and 1,000 shots, one summary line.
soak: build
	@cmake --build $(BUILD) --target soak
	@$(BUILD)/bench/soak

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer,
# in a build of its own; the first report fails the test that made it.
SANITIZE_BUILD ?= build-sanitize
SANITIZE_ENV = QT_QPA_PLATFORM=offscreen \
	ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# Checks of files, of the Windows build and of the page in a browser run no
# code of this build: once is enough.
SANITIZE_SKIP = sysinfo_wine|timer_wine|backend_wine|windows_package|web_|package_layout|package_reproducible|desktop_entry_valid|metainfo_valid|metadata_translated|format

test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKORVO_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD)
	@cd $(SANITIZE_BUILD) && $(SANITIZE_ENV) ctest --output-on-failure -E "$(SANITIZE_SKIP)"

# A bounded libFuzzer run of the registry value decoding, starting from the
# checked-in corpus; what it finds goes to the build folder, not the corpus.
# `make fuzz-corpus` merges new finds into fuzz/corpus/, keeping it minimal.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_CORPUS = fuzz/corpus/regvalue

$(FUZZ_BUILD)/fuzz/fuzz_regvalue: deps
	@cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
		-DKORVO_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD)

fuzz: $(FUZZ_BUILD)/fuzz/fuzz_regvalue
	@mkdir -p $(FUZZ_BUILD)/found
	@$(FUZZ_BUILD)/fuzz/fuzz_regvalue -max_total_time=$(FUZZ_SECONDS) -timeout=10 -print_final_stats=1 \
		-artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/found $(FUZZ_CORPUS)

fuzz-corpus: $(FUZZ_BUILD)/fuzz/fuzz_regvalue
	@$(FUZZ_BUILD)/fuzz/fuzz_regvalue -merge=1 $(FUZZ_CORPUS) $(FUZZ_BUILD)/found

# The C++ sources as .clang-format says; the test `format` checks it.
format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD) $(WEB_BUILD) $(BENCH_BUILD) $(BENCH_WINDOWS_BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
