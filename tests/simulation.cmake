# The city model, its calendar and fires, the rule engine, the event table and
# whole headless games.
foreach(topic city_tick calendar_and_fires rule_engine event_table headless_game)
  add_executable(test_${topic} ${CMAKE_CURRENT_LIST_DIR}/test_${topic}.cpp)
  target_link_libraries(test_${topic} PRIVATE simulation GTest::gtest_main)
  gtest_discover_tests(test_${topic})
endforeach()
