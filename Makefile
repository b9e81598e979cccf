# The two commands of the README are `make run` and `make test`; both install what they need.
# Build folders: build/native (sanitizers), build/x64 and build/x86 (mingw-w64), build/bench, build/fuzz.

CMAKE_GEN := -G Ninja
NATIVE := build/native
X64 := build/x64
X86 := build/x86
BENCH := build/bench
FUZZ := build/fuzz
FUZZ_SECONDS ?= 120
WINE_SESSION := tests/wine/session.sh

.PHONY: deps native x64 x86 build test test-native test-x64 test-x86 run screenshots bench bench-launcher bench-menu bench-settings bench-payload fuzz fuzz-payload clean format

deps:
	@./scripts/install-deps.sh

native: deps
	@cmake -S . -B $(NATIVE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DVELQ_SANITIZE=ON >/dev/null
	@cmake --build $(NATIVE)

x64: deps
	@cmake -S . -B $(X64) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build $(X64)

x86: deps
	@cmake -S . -B $(X86) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	@cmake --build $(X86)

build: native x64 x86

test-native: native
	cd $(NATIVE) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j2

# 32-bit programs run only where wine32 is installed; elsewhere their tests report skipped.
test-x86: x86
	cd $(X86) && ctest --output-on-failure -j2

# One Wine session (prefix, display, fonts) for the whole x64 run.
test-x64: x64
	$(WINE_SESSION) sh -c 'cd $(X64) && ctest --output-on-failure -j2'

test: build test-x86 test-native test-x64

# Builds the x64 launcher and starts it under Wine, on $$DISPLAY or a private Xvfb, in a
# prefix kept under build/ (build/run-prefix).
run: deps
	@cmake -S . -B $(X64) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build $(X64) --target VQLALaunch VQLALaunchS Velqset
	@./scripts/run-launcher.sh "$(X64)/bin/Velquinランチャー.exe" build/run-prefix

# Pictures of the open menu in each drawing mode and in each built-in profile's look, of the
# settings tool's dialogs and of the customizer in its modes into docs/, taken in one Wine session.
screenshots: deps
	@cmake -S . -B $(X64) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build $(X64) --target launcher_screenshot_driver VQLALaunchS settings_screenshot_driver \
		customizer_screenshot_driver
	./scripts/screenshots.sh $(X64)

bench: deps bench-launcher bench-menu bench-settings
	@cmake -S . -B $(BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DVELQ_TESTS=OFF -DVELQ_BENCH=ON >/dev/null
	@cmake --build $(BENCH)
	$(BENCH)/bench/archive_bench
	$(BENCH)/VelqInst1_/payload_bench $(BENCH)

# Start-up time and idle private memory of the x64 launcher with both menus at their largest,
# against a bare resident program, in one Wine session.
bench-launcher: deps
	@cmake -S . -B $(X64) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build $(X64) --target launcher_bench
	$(WINE_SESSION) tests/wine/run.sh $(X64)/bin/launcher_bench.exe

# Time from a menu request to the visible menu of 2,000 entries with icons, x64 launcher in
# each drawing mode against a bare TrackPopupMenu program, in one Wine session.
bench-menu: deps
	@cmake -S . -B $(X64) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build $(X64) --target menu_bench
	$(WINE_SESSION) tests/wine/run.sh $(X64)/bin/menu_bench.exe

# Time to the filled dialog of the x64 settings tool with both menus at their largest, against a
# bare dialog with the same trees and lists, the time a rename is stored and announced, and a
# drop of 1,000 files into a list, in one Wine session.
bench-settings: deps
	@cmake -S . -B $(X64) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build $(X64) --target settings_bench settings_drop_bench
	$(WINE_SESSION) sh -c 'tests/wine/run.sh $(X64)/bin/settings_bench.exe && tests/wine/run.sh $(X64)/bin/settings_drop_bench.exe'

# SHA-256 and extraction of the bootstrap installer against coreutils, cp and openssl.
bench-payload: deps
	@cmake -S . -B $(BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DVELQ_TESTS=OFF -DVELQ_BENCH=ON >/dev/null
	@cmake --build $(BENCH) --target payload_bench
	$(BENCH)/VelqInst1_/payload_bench $(BENCH)

fuzz: deps
	@cmake -S . -B $(FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVELQ_TESTS=OFF -DVELQ_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ)
	mkdir -p $(FUZZ)/corpus
	$(FUZZ)/fuzz/archive_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 $(FUZZ)/corpus fuzz/corpus/archive
	mkdir -p $(FUZZ)/corpus-idlist $(FUZZ)/corpus-descriptor
	$(FUZZ)/fuzz/idlist_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 $(FUZZ)/corpus-idlist
	$(FUZZ)/fuzz/descriptor_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=8192 $(FUZZ)/corpus-descriptor
	mkdir -p $(FUZZ)/corpus-profile
	$(FUZZ)/fuzz/profile_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 $(FUZZ)/corpus-profile fuzz/corpus/profile

# The payload directory reader of the bootstrap installer.
fuzz-payload: deps
	@cmake -S . -B $(FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVELQ_TESTS=OFF -DVELQ_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ) --target payload_fuzz
	mkdir -p $(FUZZ)/corpus-payload
	$(FUZZ)/VelqInst1_/fuzz/payload_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=8192 $(FUZZ)/corpus-payload VelqInst1_/fuzz/corpus

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
