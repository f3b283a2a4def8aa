# velocast_layer(NAME DEPS...) makes the static library of one layer from every .cpp in its folder.
# New files join the layer without editing its CMakeLists.
function(velocast_layer name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(velocast_${name} STATIC ${sources})
    target_include_directories(velocast_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(velocast_${name} PUBLIC ${ARGN})
  else()
    add_library(velocast_${name} INTERFACE)
    target_include_directories(velocast_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(velocast_${name} INTERFACE ${ARGN})
  endif()
endfunction()
