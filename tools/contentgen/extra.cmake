# Runs the content generator as part of the normal build so that a fresh clone has every
# generated resource. The stamp depends on the generator binary, so the run is skipped while the
# outputs are current; deleting one of the listed outputs also triggers a new run.
set(ORVANTA_CONTENT_STAMP ${CMAKE_BINARY_DIR}/contentgen.stamp)
add_custom_command(
  OUTPUT ${ORVANTA_CONTENT_STAMP}
         ${CMAKE_SOURCE_DIR}/resources/objects/scene/kindergarten.scene
         ${CMAKE_SOURCE_DIR}/resources/objects/sky.object
         ${CMAKE_SOURCE_DIR}/resources/audio/singleBird.ogg
         ${CMAKE_SOURCE_DIR}/resources/textures/UI/9.tga
  COMMAND orvanta-${tool} --root ${CMAKE_SOURCE_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${ORVANTA_CONTENT_STAMP}
  DEPENDS orvanta-${tool}
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
  COMMENT "Generating the demo content under resources/"
  VERBATIM)
add_custom_target(orvanta-content ALL DEPENDS ${ORVANTA_CONTENT_STAMP})

# The asset tests read the generated files and run the generator into scratch directories.
function(orvanta_connect_asset_tests)
  if(TARGET test_assets)
    add_dependencies(test_assets orvanta-content)
    target_compile_definitions(test_assets PRIVATE
      ORVANTA_CONTENTGEN_PATH="$<TARGET_FILE:orvanta-contentgen>")
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL orvanta_connect_asset_tests)
