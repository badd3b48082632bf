# mpfloat against raw MPFR calls and Boost.Multiprecision's mpfr_float. The operators against
# MPFR, side by side on one core, as the targets are checked (the "_min" lines of each pair compared):
#   taskset -c 3 build/bench/ferrulon_bench --benchmark_filter=Fresh --benchmark_repetitions=15 \
#       --benchmark_enable_random_interleaving=true --benchmark_min_time=0.05 \
#       --benchmark_report_aggregates_only=true
zeko_add_bench(ferrulon_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/FerrulonBench.cpp
    LIBS ferrulon PkgConfig::MPFR PkgConfig::GMP Boost::headers)

# Matrix value and in-place operations against a plain loop writing a fresh array; figures and
# the command line in the source's header.
zeko_add_bench(ferrulon_array_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/FerrulonArrayBench.cpp
    LIBS ferrulon)
