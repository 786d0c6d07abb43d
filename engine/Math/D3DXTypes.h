#pragma once

struct D3DXVECTOR2 { float x = 0, y = 0; };
struct D3DXVECTOR3 { float x = 0, y = 0, z = 0; };
struct D3DXVECTOR4 { float x = 0, y = 0, z = 0, w = 0; };
struct D3DXQUATERNION { float x = 0, y = 0, z = 0, w = 0; };
