# The reference mode starts the demo headless exactly as the render tool does: it shares the
# render tool's options, scene set-up and clock.
target_sources(orvanta-trace PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/render/HeadlessScene.cpp
                                     ${CMAKE_CURRENT_SOURCE_DIR}/render/RenderOptions.cpp
                                     ${CMAKE_CURRENT_SOURCE_DIR}/render/FrameScene.cpp
                                     ${CMAKE_CURRENT_SOURCE_DIR}/render/SimulatedClock.cpp)
target_include_directories(orvanta-trace PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/render)
