# One static library per floor of the source tree (docs/architecture.md).
#
# velmo_floor(NAME [BELOW...]) makes velmo_NAME in the calling folder, linked to the floors named
# as lying below it. Its users see its headers through an include root of its own that holds only
# its folder (a link to it, build/floors/NAME/NAME), and nothing includes from the source root:
# a source sees the headers of its own floor and of the floors it links, so an include that runs
# up a floor, or across to a floor beside it, is not found and the build fails.
function(velmo_floor_root name out)
  set(root ${CMAKE_BINARY_DIR}/floors/${name})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${name} SYMBOLIC)
  set(${out} ${root} PARENT_SCOPE)
endfunction()

function(velmo_floor name)
  velmo_floor_root(${name} root)
  add_library(velmo_${name} STATIC)
  target_include_directories(velmo_${name} PUBLIC ${root})
  foreach(below ${ARGN})
    target_link_libraries(velmo_${name} PUBLIC velmo_${below})
  endforeach()
endfunction()
