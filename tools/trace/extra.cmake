# The asset tests run the trace tool on the demo scene.
function(orvanta_connect_trace_tests)
  if(TARGET test_assets)
    add_dependencies(test_assets orvanta-trace)
    target_compile_definitions(test_assets PRIVATE ORVANTA_TRACE_PATH="$<TARGET_FILE:orvanta-trace>")
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL orvanta_connect_trace_tests)

# The reference mode starts the demo headless exactly as the render tool does: it shares the
# render tool's options, scene set-up and clock.
target_sources(orvanta-trace PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/render/HeadlessScene.cpp
                                     ${CMAKE_CURRENT_SOURCE_DIR}/render/RenderOptions.cpp
                                     ${CMAKE_CURRENT_SOURCE_DIR}/render/SimulatedClock.cpp)
target_include_directories(orvanta-trace PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/render)
