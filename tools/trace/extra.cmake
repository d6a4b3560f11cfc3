# The asset tests run the trace tool on the demo scene.
function(orvanta_connect_trace_tests)
  if(TARGET test_assets)
    add_dependencies(test_assets orvanta-trace)
    target_compile_definitions(test_assets PRIVATE ORVANTA_TRACE_PATH="$<TARGET_FILE:orvanta-trace>")
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL orvanta_connect_trace_tests)
