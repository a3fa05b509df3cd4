# The two commands of the README: `make run` and `make test`. Each installs the Debian packages
# that are missing, configures and builds through the CMake presets, then runs.

PACKAGES := cmake ninja-build g++ lld make pkg-config qt6-base-dev libqt6sql6-sqlite libsqlite3-dev \
            qt6-qpa-plugins libgl-dev xvfb xauth fonts-dejavu-core imagemagick python3 clang-format \
            dpkg-dev file lintian desktop-file-utils appstream python3-junitparser
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test test-tsan deps build-dev build-asan build-tsan build-release screenshot bench package \
        conformance-suite format format-check clean

run: build-release
	./build/release/bin/VelScriptTester

test: format-check build-dev build-asan
	QT_QPA_PLATFORM=offscreen ctest --preset dev --no-tests=error
	QT_QPA_PLATFORM=offscreen ctest --preset asan --no-tests=error

# The threaded tests (labelled "engine") under ThreadSanitizer; on purpose, not part of `make test`.
test-tsan: build-tsan
	QT_QPA_PLATFORM=offscreen ctest --preset tsan -L engine --no-tests=ignore

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

# One rule per preset: make does not apply pattern rules to phony targets.
BUILD = cmake --preset $(1) && cmake --build --preset $(1)
build-dev: deps
	$(call BUILD,dev)
build-asan: deps
	$(call BUILD,asan)
build-tsan: deps
	$(call BUILD,tsan)
build-release: deps
	$(call BUILD,release)

screenshot: build-release
	tools/screenshot.sh build/release/bin/VelScriptTester docs/window.png
	tools/screenshot.sh --driver build/release/bin/first_steps_shot docs/first-steps.png
	tools/screenshot.sh --driver build/release/bin/debugger_shot docs/debugger.png

# A Debian package of the release build, in build/release: `apt-get install ./build/release/*.deb`.
package: build-release
	cd build/release && cpack -G DEB

# Records the conformance suite again from the reference engine, one journal a group, into
# kit/conformance; commit what changed with the change of behaviour that made it change.
conformance-suite: deps
	cmake --preset dev && cmake --build --preset dev --target velscript-conformance-record
	QT_QPA_PLATFORM=offscreen ./build/dev/bin/velscript-conformance-record kit/conformance

bench: build-release
	bench/run_all.sh build/release

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf build
