# The scenario driver's sources, one list for both its runs: on our layer (this folder) and
# under Wine (the Windows build, windows/).
set(scenario_driver_sources
  ${CMAKE_CURRENT_LIST_DIR}/scenario_driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/random_session.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../../support/user_input.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../../support/picture_files.cpp
)
