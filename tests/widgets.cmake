# The widgets drawn into memory pictures and driven through the mouse globals,
# with no display.
add_executable(test_widgets
  ${CMAKE_CURRENT_LIST_DIR}/widgets_fixture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_widget_dispatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_buttons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_bars_and_sliders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_font_and_status.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_map_and_date.cpp)
target_link_libraries(test_widgets PRIVATE widgets GTest::gtest)
gtest_discover_tests(test_widgets)
