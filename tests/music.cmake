# The background music: xm/bg.xm regenerated from its score and compared byte
# for byte, then loaded and rendered through DUMB as the game plays it.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME music_regenerates
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/test_music_regenerates.sh
                 ${Python3_EXECUTABLE} ${morvask_SOURCE_DIR})

add_executable(test_music_module ${CMAKE_CURRENT_LIST_DIR}/test_music_module.cpp)
target_link_libraries(test_music_module PRIVATE aldmb dumb GTest::gtest_main)
gtest_discover_tests(test_music_module WORKING_DIRECTORY ${morvask_SOURCE_DIR})
