#pragma once

// Paths of the engine's own GLSL sources, relative to the working folder.
namespace Engine::Render::ShaderPaths {

constexpr char const* Folder = "../../EngineData/Shader/";
constexpr char const* QuadVert = "../../EngineData/Shader/quad.vert";
constexpr char const* FxaaFrag = "../../EngineData/Shader/fxaa.frag";
constexpr char const* ToneMapVert = "../../EngineData/Shader/toneMap.vert";
constexpr char const* ToneMapFrag = "../../EngineData/Shader/toneMap.frag";
constexpr char const* DownsampleFrag = "../../EngineData/Shader/downsample.frag";
constexpr char const* GaussFrag = "../../EngineData/Shader/gauss.frag";
constexpr char const* AdaptiveLumFrag = "../../EngineData/Shader/adaptiveLum.frag";
constexpr char const* IlluminationVert = "../../EngineData/Shader/illumination.vert";
constexpr char const* IlluminationFrag = "../../EngineData/Shader/illumination.frag";
constexpr char const* ShadowMapVert = "../../EngineData/Shader/ShadowMap.vert";
constexpr char const* ShadowMapGeom = "../../EngineData/Shader/ShadowMap.geom";
constexpr char const* ShadowMapFrag = "../../EngineData/Shader/ShadowMap.frag";
constexpr char const* ShadowGaussVert = "../../EngineData/Shader/shadowGauss.vert";
constexpr char const* ShadowGaussFrag = "../../EngineData/Shader/shadowGauss.frag";
constexpr char const* GodRayVert = "../../EngineData/Shader/godRayShader.vert";
constexpr char const* GodRayTessC = "../../EngineData/Shader/godRayShader.tessC.glsl";
constexpr char const* GodRayTessE = "../../EngineData/Shader/godRayShader.tessE.glsl";
constexpr char const* GodRayFrag = "../../EngineData/Shader/godRayShader.frag";
// The scattering functions the god-ray stages before the fragment stage are
// compiled with (their prefix, with the #version line).
constexpr char const* GodRayScattering = "../../EngineData/Shader/godRayScattering.glsl";

} // namespace Engine::Render::ShaderPaths
