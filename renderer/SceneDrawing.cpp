#include "content/Object.h"
#include "content/ObjectInstance.h"
#include "content/SubmeshDraw.h"
#include "gpu/Material.h"
#include "gpu/ShaderProgram.h"
#include "gpu/SubmeshMaterial.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "renderer/Renderer.h"
#include "scene/Light.h"

namespace Orvanta {

SubmeshMaterial Renderer::withFallbackTextures(const SubmeshMaterial& submesh) const
{
    // A sampler whose texture is missing would otherwise read whatever unit 0 holds.
    SubmeshMaterial complete = submesh;
    if (!complete.colorTexture)
        complete.colorTexture = whiteTexture();
    if (!complete.normalTexture)
        complete.normalTexture = flatNormalTexture.get();
    if (!complete.specularTexture)
        complete.specularTexture = defaultSpecularTexture.get();
    return complete;
}

void Renderer::drawScene(ScenePassKind kind, SceneView& view, const ProgramInputs& inputs)
{
    ScenePassPrograms programs;
    programs.zFill = zFillProgram;
    programs.alphaTestedZFill = alphaTestedZFillProgram;
    programs.shadowZFill = shadows.zFillProgram;
    programs.alphaTestedShadowZFill = shadows.alphaTestedZFillProgram;
    programs.shadowTransmittance = shadows.transmittanceProgram;
    programs.defaultGBufferWrite = mainGBuffer.defaultWriteProgram;
    programs.alphaTestedGBufferWrite = mainGBuffer.alphaTestedWriteProgram;
    programs.reflectiveShadowMap = propagationVolumes.reflectiveShadowMapProgram;
    ProgramInputs drawInputs = inputs;
    if (kind == ScenePassKind::ReflectiveShadowMap)
        drawInputs.light = sunLight;

    glMatrixMode(GL_MODELVIEW);
    for (uint32_t i = 0; i < view.visibleCount; ++i) {
        ObjectInstance* instance = view.visibleObjects[i];
        if (!instance || !instance->object)
            continue;
        const Object& object = *instance->object;
        for (const Submesh& submesh : object.submeshes) {
            if (!submesh.material || !submesh.material->material)
                continue;
            const Material& material = *submesh.material->material;
            ScenePassChoice choice = chooseScenePass(kind, material, programs);
            if (!choice.program)
                continue;
            if (choice.emptyTextureUnits)
                textureUnits.unbindAll();
            SubmeshMaterial complete = withFallbackTextures(*submesh.material);
            applyMaterialUniforms(*this, drawInputs, choice.pass, &complete, *choice.program);
            glPushMatrix();
            glMultMatrixf(instance->worldMatrix.m);
            applyInstanceUniforms(*choice.program, instance->worldMatrix);
            bindObjectBuffers(object);
            enableVertexAttributes(object.vertexBuffer, *choice.program);
            drawSubmesh(submesh, choice.bothSides ? FaceSides::Both : FaceSides::ByMaterial);
            disableVertexAttributes(*choice.program);
            unbindObjectBuffers();
            glPopMatrix();
        }
    }
}

void Renderer::applyPassUniforms(const MaterialPass* pass, const SubmeshMaterial* submesh, const ShaderProgram& program,
                                 const Light* light)
{
    Orvanta::applyPassUniforms(pass, submesh, this, program, light);
}

}  // namespace Orvanta
