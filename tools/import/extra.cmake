# The importer's code is a library of its own so that its tests can call it; the tool is its
# command line. The model reading library and the image decoder are linked here only: the engine
# itself reads nothing but its own formats.
pkg_check_modules(ASSIMP REQUIRED IMPORTED_TARGET assimp)
pkg_check_modules(STB REQUIRED IMPORTED_TARGET stb)
list(FILTER tool_sources EXCLUDE REGEX "/main\\.cpp$")
add_library(orvanta_import STATIC ${tool_sources})
target_include_directories(orvanta_import PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/${tool})
target_link_libraries(orvanta_import PUBLIC orvanta_engine PRIVATE PkgConfig::ASSIMP PkgConfig::STB)
set_property(TARGET orvanta-${tool} PROPERTY SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${tool}/main.cpp)
target_link_libraries(orvanta-${tool} PRIVATE orvanta_import)

# The import tests call the library and run the import and render tools.
function(orvanta_connect_import_tests)
  if(TARGET test_import)
    target_link_libraries(test_import PRIVATE orvanta_import)
    add_dependencies(test_import orvanta-import orvanta-render)
    target_compile_definitions(test_import PRIVATE
      ORVANTA_IMPORT_PATH="$<TARGET_FILE:orvanta-import>"
      ORVANTA_RENDER_PATH="$<TARGET_FILE:orvanta-render>")
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL orvanta_connect_import_tests)
