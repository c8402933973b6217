#!/usr/bin/env bash
# One entry point: ./run.sh demo | app | test | mutants | bench | soak | fuzz | package | screenshots | build
set -euo pipefail
cd "$(dirname "$0")"

# build_with SET [PRESET]: installs the packages of SET (tools/install-deps.sh), then
# configures and builds PRESET (default: default).
build_with() {
    ./tools/install-deps.sh "$1"
    cmake --preset "${2:-default}" >/dev/null
    cmake --build --preset "${2:-default}"
}

case "${1:-}" in
    demo)
        build_with build
        shift
        exec ./build/bin/korvelconfig-demo "$@"
        ;;
    app)
        build_with build
        shift
        exec ./build/bin/korvelconfig "$@"
        ;;
    test)
        build_with test
        export QT_QPA_PLATFORM=offscreen
        ctest --preset default --timeout 300 -j2
        # The core, the simulator, the real serial path and korvel-web's API
        # once more under AddressSanitizer and UndefinedBehaviorSanitizer.
        cmake --preset asan >/dev/null
        cmake --build --preset asan --target link_tests status_tests kx_tests zr_tests \
            vg_tests testpanel_tests integration_tests ctl_tests net_tests wire_words_tests ops_tests \
            korvelctl korvel-web
        ctest --preset asan --timeout 300 -j2
        ;;
    mutants)
        # Deliberate faults, one at a time, against the whole suite.
        build_with test
        shift
        exec ./tools/mutants.py tests/mutants.tsv "$@"
        ;;
    bench)
        build_with build
        shift
        export QT_QPA_PLATFORM=offscreen
        exec ./build/bin/korvel-bench "$@"
        ;;
    soak)
        build_with build
        export QT_QPA_PLATFORM=offscreen
        exec ./build/bin/korvel-soak --minutes "${2:-30}"
        ;;
    fuzz)
        build_with fuzz fuzz
        mkdir -p build-fuzz/corpus
        exec ./build-fuzz/bin/fuzz_receiver -runs="${2:-10000000}" build-fuzz/corpus
        ;;
    screenshots)
        # Pictures of every window as the widget tests draw them, for the README.
        build_with build
        export QT_QPA_PLATFORM=offscreen
        ./build/bin/ui_tests >/dev/null
        mkdir -p docs/screenshots
        for name in main_window kx_page_confirmed zr_page_report vg_page test_frame \
            status_standard status_classic message_log message_log_words backup_page english_box; do
            cp "build/screenshots/$name.png" docs/screenshots/
        done
        ;;
    build)
        preset=${2:-default}
        build_with "$([ "$preset" = fuzz ] && echo fuzz || echo build)" "$preset"
        ;;
    package)
        build_with package
        rm -f build/package/*.deb
        cpack --config build/CPackConfig.cmake
        ;;
    *)
        echo "usage: ./run.sh demo | app | test | mutants [--only ID,ID] | bench | soak [minutes] | fuzz [runs] | package | screenshots | build [preset]" >&2
        exit 2
        ;;
esac
