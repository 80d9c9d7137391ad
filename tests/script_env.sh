# Sourced by the script tests (tests/*_test.sh). CTest hands them BUILD_DIR,
# SOURCE_DIR and SANITIZED (1 for the AddressSanitizer build).

# The environment a program of the build needs to run: for the sanitized
# build, the settings tests/CMakeLists.txt gives the gtest executables (Mesa's
# driver preloaded so that LeakSanitizer can name it in tests/lsan.supp).
# Use as `env "${BUILT_ENV[@]}" PROGRAM ...` (env execs PROGRAM, so a `$!` of a
# background run is the program itself), or through run_built.
BUILT_ENV=()
if [ "${SANITIZED:-0}" = 1 ]; then
    BUILT_ENV=(ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1:abort_on_error=0
        "LSAN_OPTIONS=suppressions=$SOURCE_DIR/tests/lsan.supp:print_suppressions=0"
        UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
        LD_PRELOAD=/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so)
fi
run_built() { env "${BUILT_ENV[@]}" "$@"; }

# start_xvfb and stop_xvfb.
source "$SOURCE_DIR/scripts/xvfb.sh"
