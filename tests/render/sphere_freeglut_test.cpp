// The solid sphere's arrays against freeglut 3.4's, byte for byte. The figures come from glibc's
// sin and cos, which freeglut calls too; another C library may round some of them otherwise.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/sphere_geometry.h"

namespace {

std::uint64_t fnv1a(std::uint64_t hash, const void* data, size_t size) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211u;
  return hash;
}

}  // namespace

// FNV-1a over every byte of freeglut 3.4's positions, normals and strip indices (each index
// widened to 32 bits; little-endian), from its fghGenerateSphere and fghSphere built with gcc -O2.
TEST(SphereGeometry, WholeArraysAreFreeglutsByteForByte) {
  struct Golden {
    int slices, stacks;
    float radius;
    std::uint64_t hash;
  };
  const Golden goldens[] = {
      {1, 2, 0x1p+0f, 0xd555912f0375dd79u},       {2, 2, 0x1.4p+1f, 0xed40d64483d07d05u},
      {3, 3, -0x1.8p+0f, 0x974bff7f8b8dd58bu},    {7, 5, 0x1p+0f, 0xf2801d3970f78ef1u},
      {5, 9, 0x1.4p+1f, 0x08dde9a5b1e87f19u},     {12, 12, -0x1.8p+0f, 0x921438dca9b00093u},
      {20, 20, 0x1p+0f, 0x2d8e5aa967718843u},     {36, 36, 0x1.4p+1f, 0xbd5bf855b8c6a56eu},
      {50, 50, -0x1.8p+0f, 0x178e5967a5447b4fu},  {100, 100, 0x1p+0f, 0xdf01f47bcf14619au},
      {200, 200, 0x1.4p+1f, 0xf453e1f80638aa88u}, {256, 256, -0x1.8p+0f, 0xe375e60df156bb22u},
      {255, 256, 0x1p+0f, 0x30c49b5c5e9ae7ddu},
  };
  SphereGeometry geometry;
  std::vector<float> positions;
  for (const Golden& g : goldens) {
    buildSphereGeometry(g.slices, g.stacks, geometry);
    scaleSphere(geometry, g.radius, positions);
    std::uint64_t hash = 14695981039346656037u;
    hash = fnv1a(hash, positions.data(), positions.size() * sizeof(float));
    hash = fnv1a(hash, geometry.normals.data(), geometry.normals.size() * sizeof(float));
    hash = fnv1a(hash, geometry.strips.data(), geometry.strips.size() * sizeof(std::uint32_t));
    EXPECT_EQ(hash, g.hash) << g.slices << " × " << g.stacks << " radius " << g.radius;
  }
}
