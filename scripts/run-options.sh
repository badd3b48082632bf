# Sourced by scripts/run.sh and scripts/test.sh: the options of the run tree (build/) as
# scripts/run.sh builds it. CMake keeps an option in the tree's cache until it is set again, so
# each script passes all of its own every time; a build/ that CI=true scripts/test.sh configured
# (warnings as errors, no debug information) gets warnings as warnings and -g back from
# scripts/run.sh. No tests (the sanitizer trees build them); warnings stay warnings, so that a new
# compiler's warning never stops the programs' build.
run_options=(-DZEKO_BUILD_TESTS=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=OFF
    "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g -DNDEBUG")
