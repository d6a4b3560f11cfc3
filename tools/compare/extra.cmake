# The metrics live in a small library of their own, which the tool, the tests and any fidelity
# script built in C++ share; they need nothing of the engine but the HDR image type.
add_library(orvanta_image_metrics STATIC ${CMAKE_CURRENT_SOURCE_DIR}/compare/metrics/ImageMetrics.cpp)
target_include_directories(orvanta_image_metrics PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/compare)
target_link_libraries(orvanta_image_metrics PUBLIC orvanta_platform)
target_link_libraries(orvanta-compare PRIVATE orvanta_image_metrics)

# The metric tests link the library; the SSIM cross-check runs Debian's pyssim (python3-pyssim,
# installed by scripts/setup) on the same pictures and fails when python3 or pyssim is missing.
function(orvanta_connect_compare_tests)
  if(TARGET test_compare)
    target_link_libraries(test_compare PRIVATE orvanta_image_metrics)
    add_dependencies(test_compare orvanta-compare)
    target_compile_definitions(test_compare PRIVATE ORVANTA_COMPARE_PATH="$<TARGET_FILE:orvanta-compare>")
  endif()
  if(BUILD_TESTING)
    add_test(NAME Compare.SsimAgreesWithPyssim
             COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/compare/pyssimCrossCheck.py
                     $<TARGET_FILE:orvanta-compare>)
    set_tests_properties(Compare.SsimAgreesWithPyssim PROPERTIES TIMEOUT 120)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL orvanta_connect_compare_tests)
