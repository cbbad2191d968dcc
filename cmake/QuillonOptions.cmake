# One place for the language standard, warnings and Qt strictness; every target links it.
add_library(quillon_options INTERFACE)
target_compile_features(quillon_options INTERFACE cxx_std_20)
target_compile_options(quillon_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Woverloaded-virtual -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough)
target_compile_definitions(quillon_options INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CONTEXTLESS_CONNECT QT_USE_QSTRINGBUILDER
    QT_NO_URL_CAST_FROM_STRING QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
if(QUILLON_WERROR)
    target_compile_options(quillon_options INTERFACE -Werror)
    # GCC 12's optimiser reports std::optional members as maybe-uninitialized where they are not,
    # and inlined std::string concatenation as an overlapping copy (-Wrestrict) where there is none.
    target_compile_options(quillon_options INTERFACE
        $<$<NOT:$<CONFIG:Debug>>:-Wno-error=maybe-uninitialized -Wno-error=restrict>)
endif()
if(QUILLON_SANITIZE)
    target_compile_options(quillon_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(quillon_options INTERFACE -fsanitize=address,undefined)
endif()
if(QUILLON_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "QUILLON_FUZZ needs clang (the fuzz preset sets clang-14)")
    endif()
    # Every library the harnesses reach is instrumented for coverage; only the harnesses link
    # libFuzzer's main.
    target_compile_options(quillon_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(quillon_options INTERFACE -fsanitize=address,undefined)
endif()
