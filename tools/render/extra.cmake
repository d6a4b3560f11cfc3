# The render tool's tests run the tool itself.
function(orvanta_connect_render_tests)
  if(TARGET test_renderTool)
    add_dependencies(test_renderTool orvanta-render)
    target_compile_definitions(test_renderTool PRIVATE ORVANTA_RENDER_PATH="$<TARGET_FILE:orvanta-render>")
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL orvanta_connect_render_tests)
