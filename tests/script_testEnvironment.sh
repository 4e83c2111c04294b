#!/bin/sh
# Every GoogleTest case that CTest knows in the build (a command with a
# --gtest_filter) runs with the whole test environment: both of SDL's dummy
# drivers and, in the sanitizer build, the sanitizers' settings that this
# script itself was given.
# Arguments: build folder, source folder.
BUILD="$1"
WANT="SDL_VIDEODRIVER=dummy
SDL_AUDIODRIVER=dummy"
for name in ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS; do
    value=$(printenv "$name") && WANT="$WANT
$name=$value"
done
ctest --show-only=json-v1 --test-dir "$BUILD" | awk -v want="$WANT" '
    function text() { s = $0; sub(/^[^"]*"/, "", s); sub(/",?$/, "", s); return s }
    function value() { s = $0; sub(/^[^:]*: *"/, "", s); sub(/",?$/, "", s); return s }
    function finish() {
        if (gtest) {
            checked++
            for (i = 1; i <= wanted; i++)
                if (!(w[i] in env)) {
                    if (++lacking <= 5) print "  " name ": no " w[i]
                    break
                }
        }
        gtest = 0; name = ""; inEnv = 0; split("", env)
    }
    BEGIN { wanted = split(want, w, "\n") }
    /"command" :/ { finish(); next }
    /"--gtest_filter=/ { gtest = 1 }
    /"name" :/ && name == "" { name = value(); next }
    /"name" : "ENVIRONMENT"/ { inEnv = 1; next }
    inEnv && /\]/ { inEnv = 0 }
    inEnv && /^ *"/ { env[text()] = 1 }
    END {
        finish()
        if (checked == 0 || lacking) {
            print "FAIL: " lacking + 0 " of " checked + 0 " discovered tests lack part of their environment"
            exit 1
        }
        print "PASS: all " checked " discovered tests have their " wanted " environment entries"
    }'
