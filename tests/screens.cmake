# The text pages, the message box, a new game, the game screen's tick and
# whole screens through their loops, headless on memory pictures.
find_package(Threads REQUIRED)
add_executable(test_screens ${CMAKE_CURRENT_LIST_DIR}/test_screens.cpp)
target_link_libraries(test_screens PRIVATE screens GTest::gtest Threads::Threads)
gtest_discover_tests(test_screens)

# The whole game played as a player would, on its own virtual X display, from
# the folder that holds bmp/. Labelled nosan: it is a real-time play of some
# twenty seconds that need not run twice; the sanitizer build checks the same
# loops headless in test_screens.
find_program(PYTHON3 python3 REQUIRED)
add_test(NAME playthrough
         COMMAND ${PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/playthrough.py $<TARGET_FILE:morvask>
                 ${CMAKE_CURRENT_BINARY_DIR}/playthrough)
set_tests_properties(playthrough PROPERTIES
                     WORKING_DIRECTORY ${morvask_SOURCE_DIR} LABELS nosan TIMEOUT 240)
# The loader headless, on coded sheets and on the game's own pictures.
add_executable(test_startup ${CMAKE_CURRENT_LIST_DIR}/test_startup.cpp)
target_link_libraries(test_startup PRIVATE screens GTest::gtest)
target_compile_definitions(test_startup PRIVATE MORVASK_SOURCE_DIR="${morvask_SOURCE_DIR}")
gtest_discover_tests(test_startup)

# The game itself under its own X server, refusing to start on a broken
# picture or without a display, and falling back to a window.
add_library(refuse_display MODULE ${CMAKE_CURRENT_LIST_DIR}/refuse_display.cpp)
target_link_libraries(refuse_display PRIVATE PkgConfig::ALLEGRO ${CMAKE_DL_LIBS})
add_test(NAME startup_refusals
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/startup_run.sh $<TARGET_FILE:morvask>
                 $<TARGET_FILE:refuse_display> ${morvask_SOURCE_DIR})
set_tests_properties(startup_refusals PROPERTIES TIMEOUT 120)

# The ways the program is ended from outside, a tap of ESC, SIGTERM on the
# title, under a box and in a game, and SIGQUIT, played in both builds.
add_test(NAME signals
         COMMAND ${PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/playthrough.py --signals $<TARGET_FILE:morvask>
                 ${CMAKE_CURRENT_BINARY_DIR}/signals)
set_tests_properties(signals PROPERTIES WORKING_DIRECTORY ${morvask_SOURCE_DIR} TIMEOUT 180)

# The game from an IPC namespace of its own, where the display cannot attach
# its shared memory: it draws without, into a game and out on ESC.
add_test(NAME unshared_memory
         COMMAND ${PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/playthrough.py --unshared $<TARGET_FILE:morvask>
                 ${CMAKE_CURRENT_BINARY_DIR}/unshared)
set_tests_properties(unshared_memory PROPERTIES
                     WORKING_DIRECTORY ${morvask_SOURCE_DIR} TIMEOUT 120 SKIP_RETURN_CODE 77)

# The game as the only client of a server that ends when its last client
# leaves, as in a kiosk session: it keeps a connection open all through its
# start, draws its title and ends on ESC.
add_test(NAME only_client
         COMMAND ${PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/playthrough.py --only-client
                 $<TARGET_FILE:refuse_display> $<TARGET_FILE:morvask> ${CMAKE_CURRENT_BINARY_DIR}/only_client)
set_tests_properties(only_client PROPERTIES WORKING_DIRECTORY ${morvask_SOURCE_DIR} TIMEOUT 120)
