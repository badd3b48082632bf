# mpfloat against raw MPFR calls and Boost.Multiprecision's mpfr_float; Matrix element-wise add
# against a plain loop.
zeko_add_bench(ferrulon_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/FerrulonBench.cpp
    LIBS ferrulon PkgConfig::MPFR PkgConfig::GMP Boost::headers)
