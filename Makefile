# The README's entry points. Each target does all set-up on a fresh machine.
.PHONY: all deps build test run sanitize fuzz bench clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default

test: build
	@ctest --preset default

# The simulated Mac's home: HOME_DIR=/some/folder picks another than the default
# ${XDG_DATA_HOME:-~/.local/share}/deskplay/simulated-mac (see scripts/run.sh --help).
run: build
	@scripts/run.sh $(if $(HOME_DIR),--home "$(HOME_DIR)") build/default

# The companions and shared code again under AddressSanitizer and UndefinedBehaviorSanitizer:
# their test programs (and what those start) are built, and the tests of their folders run.
sanitize: deps
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize --target sanitize_scope
	@for folder in $$(cat build/sanitize/sanitized-test-folders.txt); do \
	  ctest --test-dir "$$folder" --output-on-failure -j 2 --timeout 900 || exit 1; \
	done

# The fuzz targets (clang), each for a short run.
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz --target deskplay_fuzzers
	@scripts/run-fuzzers.sh build/fuzz 60

# The threaded parts (input socket, serial queues, Glyphon's command thread, Sonette's mixer
# and service, simdesk's connection and event pump) under ThreadSanitizer, built with clang,
# whose thread-safety analysis checks their locking annotations on the way.
.PHONY: tsan
tsan: deps
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan
	@ctest --preset tsan

bench: build
	@build/default/bench/burrowd/burrowd_bench
	@build/default/bench/sonette/sonette_bench
	@build/default/bench/simdesk/simdesk_bench
	@build/default/bench/simdesk/simdesk_tap_bench
	@build/default/bench/simdesk/simdesk_view_bench
	@build/default/bench/simdesk/simdesk_content_bench
	@build/default/sim/simdesk/scripting/simdesk_scripting_bench
	@build/default/bench/deskplay/stash/desktop_stash_bench
	@build/default/bench/deskplay/catalog/catalog_bench
	@build/default/bench/deskplay/startup/deskplay_startup_bench
	@build/default/bench/glyphon/glyphon_bench
	@build/default/bench/glyphon/glyphon_motion_bench
	@build/default/bench/keyhark/keyhark_bench
	@build/default/bench/deskplay/keys/deskplay_keys_bench
	@build/default/bench/deskplay/popover/deskplay_popover_bench
	@build/default/bench/tilestack/tilestack_snake_bench
	@cd tilestack && node --import tsx rooms/bench/room_load.ts

clean:
	@rm -rf build
